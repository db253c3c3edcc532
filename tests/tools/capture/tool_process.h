#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The capture tool run as a child process in a given folder, its stdout and
// stderr gathered through one pipe.
struct ToolProcess {
  pid_t pid = -1;
  int output = -1;
  std::string messages;
};

// `environment` entries ("NAME=value") are added to, or replace, ours.
ToolProcess StartTool(const std::string& folder, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {});
// Reads output until `text` appears or the tool closes its output; true when it appeared.
bool ReadUntil(ToolProcess& tool, const std::string& text);
// Reads the rest of the output and waits; the exit status, or 128 + signal.
int FinishTool(ToolProcess& tool);

struct ToolRun {
  int status;
  std::string messages;
};
ToolRun RunTool(const std::string& folder, const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment = {});

// Standard output of a shell command (ffprobe, ffmpeg).
std::string CommandOutput(const std::string& command);
