#include "tool_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

ToolProcess StartTool(const std::string& folder, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment) {
  ToolProcess tool;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return tool;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);

  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string entry = *variable;
    bool replaced = false;
    for (const std::string& extra : environment)
      replaced =
          replaced || entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0;
    if (!replaced) variables.push_back(entry);
  }
  variables.insert(variables.end(), environment.begin(), environment.end());
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  if (posix_spawn(&tool.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
    tool.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
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
  int status = 0;
  while (waitpid(tool.pid, &status, 0) < 0 && errno == EINTR) {
  }
  tool.pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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
