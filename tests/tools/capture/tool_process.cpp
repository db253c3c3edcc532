#include "tests/tools/capture/tool_process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "tools/common/child_process.h"

ToolProcess StartTool(const std::string& folder, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment) {
  ToolProcess tool;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return tool;
  ChildSetup setup;
  setup.folder = folder;
  setup.environment = environment;
  setup.output = setup.errors = ends[1];
  if (Result started = StartChild(arguments, setup, tool.pid); !started)
    tool.messages = started.error;
  close(ends[1]);
  tool.output = ends[0];
  return tool;
}

bool ReadUntil(ToolProcess& tool, const std::string& text) {
  char buffer[4096];
  while (tool.messages.find(text) == std::string::npos) {
    const ssize_t count = read(tool.output, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    tool.messages.append(buffer, static_cast<size_t>(count));
  }
  return true;
}

int FinishTool(ToolProcess& tool) {
  ReadUntil(tool, std::string(1, '\0'));  // to the end of the output
  close(tool.output);
  tool.output = -1;
  if (tool.pid < 0) return -1;
  const int status = WaitForChild(tool.pid);
  tool.pid = -1;
  return ExitStatusOf(status);
}

ToolRun RunTool(const std::string& folder, const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment) {
  ToolProcess tool = StartTool(folder, arguments, environment);
  const int status = FinishTool(tool);
  return {status, tool.messages};
}

std::string CommandOutput(const std::string& command) {
  std::string output;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    pclose(pipe);
  }
  return output;
}
