#include "tools/capture/slurm_submit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/capture/capture_assets.h"
#include "tools/capture/output_target.h"
#include "tools/capture/segment_manifest.h"
#include "tools/common/atomic_output.h"
#include "tools/common/child_process.h"
#include "tools/common/tool_report.h"

namespace {

constexpr const char* kTaskIndex = "$SLURM_ARRAY_TASK_ID";

// For a POSIX shell: single quotes, with each quote in `text` closed around.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Absolute(const std::string& path, const std::string& here) {
  return !path.empty() && path[0] == '/' ? path : here + "/" + path;
}

std::string ProgramFolder() {
  const std::string program = ThisProgram();
  const size_t slash = program.find_last_of('/');
  return slash == std::string::npos ? "." : program.substr(0, slash);
}

std::string SegmentsFolder(const CaptureOptions& options, const std::string& here) {
  std::string folder = options.segmentsFolder;
  if (folder.empty()) {
    folder = options.output;
    if (options.kind == OutputKind::kVideo) folder.resize(folder.size() - 4);  // ".mp4"
    folder += "-segments";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return Absolute(folder, here);
}

std::string ChunkSegment(const std::string& folder, int index, OutputKind kind) {
  return folder + "/chunk-" + std::to_string(index) + (kind == OutputKind::kVideo ? ".mp4" : "");
}

// Whether a chunk is there whole and drawn as asked this time.
bool ChunkIsDrawn(const std::string& segment, const SegmentManifest& wanted) {
  SegmentManifest found;
  std::string error;
  return ReadCompleteSegment(segment, found, error) && DescribeDifference(found, wanted).empty() &&
         found.first == wanted.first && found.last == wanted.last;
}

// "1-3,5,9-10" for Slurm's --array.
std::string ArrayIndices(const std::vector<int>& indices) {
  std::string text;
  for (size_t i = 0; i < indices.size();) {
    size_t j = i;
    while (j + 1 < indices.size() && indices[j + 1] == indices[j] + 1) ++j;
    if (!text.empty()) text += ",";
    text += std::to_string(indices[i]);
    if (j > i) text += "-" + std::to_string(indices[j]);
    i = j + 1;
  }
  return text;
}

bool WriteScript(const std::string& path, const std::string& text, std::string& error) {
  return WriteFileAtomically(
      path,
      [&text](std::FILE* stream, std::string&) {
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
      },
      error);
}

// Runs sbatch and returns the job id it prints (--parsable: "ID" or
// "ID;CLUSTER"), or empty with `error`. sbatch's own messages go to stderr.
std::string Submit(std::vector<std::string> arguments, const std::vector<std::string>& extra,
                   const std::string& script, std::string& error) {
  arguments.insert(arguments.begin(), {"sbatch", "--parsable"});
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  arguments.push_back(script);
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return {};
  }
  ChildSetup setup;
  setup.input = kNullDevice;
  setup.output = ends[1];
  pid_t pid = -1;
  const bool started = StartChild(arguments, setup, pid, error);
  close(ends[1]);
  std::string printed;
  char buffer[256];
  ssize_t count = 0;
  while (started &&
         ((count = read(ends[0], buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)))
    if (count > 0) printed.append(buffer, static_cast<size_t>(count));
  close(ends[0]);
  if (!started) {
    if (error.find("not found on PATH") != std::string::npos)
      error += " (is this a Slurm submission host?)";
    return {};
  }
  const int status = ExitStatusOf(WaitForChild(pid));
  const std::string id = printed.substr(0, printed.find_first_of(";\n"));
  if (status != 0 || id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
    error = "sbatch failed" + (status != 0 ? " with exit status " + std::to_string(status)
                                           : ": it printed no job id");
    return {};
  }
  return id;
}

}  // namespace

int SubmitToSlurm(const CaptureOptions& options, FrameSpan range) {
  std::string error;
  if (!ReadyToHandOut(options, error)) return ReportFailure(error);
  char here[4096];
  if (getcwd(here, sizeof here) == nullptr)
    return ReportFailure(std::string("cannot name this folder: ") + std::strerror(errno));
  const std::string programs = ProgramFolder();
  const std::string join = programs + "/quorvane-join";
  if (access(join.c_str(), X_OK) != 0)
    return ReportFailure("'" + join + "' is missing: it joins the chunks on the cluster");
  const std::string folder = SegmentsFolder(options, here);
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
    return ReportFailure("cannot make '" + folder + "': " + std::strerror(errno));

  const int count = options.slurmChunks;
  std::vector<int> toDraw;
  std::string segments;
  for (int index = 1; index <= count; ++index) {
    const SegmentManifest wanted = ChunkManifest(options, range, ChunkOfRange(range, index, count));
    const std::string segment = ChunkSegment(folder, index, options.kind);
    if (!ChunkIsDrawn(segment, wanted)) toDraw.push_back(index);
    segments += " \\\n  " + Quoted(segment);
  }

  const std::string heading = "#!/bin/sh\n# Written by quorvane-capture --slurm " +
                              std::to_string(count) + " for " + Quoted(options.output) +
                              "; run it again to draw what is missing.\ncd " + Quoted(here) +
                              " || exit 1\n";
  std::string draw = heading + "export LP_NUM_THREADS=\"${LP_NUM_THREADS:-" +
                     std::to_string(options.slurmCpus) + "}\"\nexec " +
                     Quoted(programs + "/quorvane-capture") + " --force --chunk \"" + kTaskIndex +
                     "/" + std::to_string(count) + "\"";
  for (const std::string& argument : ChunkArguments(options, range, options.slurmCpus))
    draw += " " + Quoted(argument);
  // The task's index goes into the segment's name outside the quotes, for the shell to expand.
  draw += " " + Quoted(folder + "/chunk-") + "\"" + kTaskIndex + "\"" +
          (options.kind == OutputKind::kVideo ? ".mp4" : "/") + "\n";
  const std::string joinScript = heading + "exec " + Quoted(join) +
                                 (options.force ? " --force " : " ") +
                                 Quoted(Absolute(options.output, here)) + segments + "\n";
  const std::string drawPath = folder + "/draw.sh";
  const std::string joinPath = folder + "/join.sh";
  if (!WriteScript(drawPath, draw, error) || !WriteScript(joinPath, joinScript, error))
    return ReportFailure(error);

  std::string chunks;
  if (!toDraw.empty()) {
    chunks = Submit({"--array=" + ArrayIndices(toDraw), "--job-name=quorvane-chunks",
                     "--cpus-per-task=" + std::to_string(options.slurmCpus),
                     "--output=" + folder + "/chunk-%a.log"},
                    options.slurmOptions, drawPath, error);
    if (chunks.empty()) return ReportFailure(error + "; nothing was submitted");
    std::printf("chunks %s\n", chunks.c_str());
  }
  std::vector<std::string> after = {"--job-name=quorvane-join", "--output=" + folder + "/join.log"};
  if (!chunks.empty())
    after.insert(after.end(), {"--dependency=afterok:" + chunks, "--kill-on-invalid-dep=yes"});
  const std::string joined = Submit(after, options.slurmOptions, joinPath, error);
  if (joined.empty())
    return ReportFailure(error + (chunks.empty() ? "; nothing was submitted"
                                                 : "; the chunks went in as job " + chunks +
                                                       ": run this again to submit the join"));
  std::printf("join %s\n", joined.c_str());
  std::fflush(stdout);
  if (!options.quiet)
    ReportNote((toDraw.empty()
                    ? std::string("every chunk is drawn already")
                    : std::to_string(toDraw.size()) + " of " + std::to_string(count) + " chunks (" +
                          ArrayIndices(toDraw) + ") to draw as job " + chunks) +
               "; the join is job " + joined + ", and '" + options.output +
               "' appears when it is done. Logs and segments: " + folder);
  return kExitDone;
}
