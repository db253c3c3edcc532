#include "tools/chunks/slurm_submit.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/chunks/segment_manifest.h"
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

std::string SegmentsFolder(const CaptureOptions& options, const ChunkOptions& chunks,
                           const std::string& here) {
  std::string folder = chunks.segmentsFolder;
  if (folder.empty()) {
    folder = options.output;
    if (options.kind == OutputKind::kVideo) folder.resize(folder.size() - 4);  // ".mp4"
    folder += "-segments";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return Absolute(folder, here);
}

// Whether a chunk is there whole and drawn as asked this time.
bool ChunkIsDrawn(const std::string& segment, const SegmentManifest& wanted) {
  SegmentManifest found;
  return ReadCompleteSegment(segment, found) && DescribeDifference(found, wanted).empty() &&
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

Result WriteScript(const std::string& path, const std::string& text) {
  return WriteFileAtomically(path, [&text, &path](std::FILE* stream) {
    if (std::fwrite(text.data(), 1, text.size(), stream) == text.size()) return Result{};
    return Fail("cannot write '" + path + "': " + std::strerror(errno));
  });
}

// Runs sbatch and gives the job id it prints (--parsable: "ID" or
// "ID;CLUSTER") in `id`. sbatch's own messages go to stderr.
Result Submit(std::vector<std::string> arguments, const std::vector<std::string>& extra,
              const std::string& script, std::string& id) {
  arguments.insert(arguments.begin(), {"sbatch", "--parsable"});
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  arguments.push_back(script);
  ChildSetup setup;
  setup.input = kNullDevice;
  pid_t pid = -1;
  int printing = -1;
  if (Result started = StartChildWithPipe(arguments, setup, ChildPipe::kOutput, pid, printing);
      !started) {
    if (started.error.find("not found on PATH") != std::string::npos)
      started.error += " (is this a Slurm submission host?)";
    return started;
  }
  std::string printed;
  char buffer[256];
  ssize_t count = 0;
  while ((count = read(printing, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR))
    if (count > 0) printed.append(buffer, static_cast<size_t>(count));
  close(printing);
  const int status = ExitStatusOf(WaitForChild(pid));
  id = printed.substr(0, printed.find_first_of(";\n"));
  if (status != 0 || id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
    id.clear();
    return Fail("sbatch failed" + (status != 0 ? " with exit status " + std::to_string(status)
                                               : std::string(": it printed no job id")));
  }
  return {};
}

}  // namespace

Result SubmitToSlurm(const CaptureOptions& options, const ChunkOptions& chunks, FrameSpan range) {
  if (Result ready = ReadyToHandOut(options); !ready) return ready;
  char here[4096];
  if (getcwd(here, sizeof here) == nullptr)
    return Fail(std::string("cannot name this folder: ") + std::strerror(errno));
  const std::string programs = ProgramFolder();
  const std::string join = programs + "/quorvane-join";
  if (access(join.c_str(), X_OK) != 0)
    return Fail("'" + join + "' is missing: it joins the chunks on the cluster");
  const std::string folder = SegmentsFolder(options, chunks, here);
  std::vector<std::string> made;
  if (Result madeFolder = MakeFolders(folder, made); !madeFolder) return madeFolder;

  const int count = chunks.slurmChunks;
  std::vector<int> toDraw;
  std::string segments;
  for (int index = 1; index <= count; ++index) {
    const SegmentManifest wanted = ChunkManifest(options, range, ChunkOfRange(range, index, count));
    const std::string segment = folder + "/" + ChunkSegmentName(std::to_string(index), options.kind);
    if (!ChunkIsDrawn(segment, wanted)) toDraw.push_back(index);
    segments += " \\\n  " + Quoted(segment);
  }

  const std::string heading = "#!/bin/sh\n# Written by quorvane-capture --slurm " +
                              std::to_string(count) + " for " + Quoted(options.output) +
                              "; run it again to draw what is missing.\ncd " + Quoted(here) +
                              " || exit 1\n";
  std::string draw = heading + "export LP_NUM_THREADS=\"${LP_NUM_THREADS:-" +
                     std::to_string(chunks.slurmCpus) + "}\"\nexec " +
                     Quoted(programs + "/quorvane-capture") + " --force --chunk \"" + kTaskIndex +
                     "/" + std::to_string(count) + "\"";
  for (const std::string& argument : ChunkArguments(options, range, chunks.slurmCpus))
    draw += " " + Quoted(argument);
  // The task's index goes into the segment's name outside the quotes, for the shell to expand.
  draw += " " + Quoted(folder + "/") +
          OutputArgument(ChunkSegmentName(std::string("\"") + kTaskIndex + "\"", options.kind),
                         options.kind) +
          "\n";
  const std::string joinScript =
      heading + "exec " + Quoted(join) + (options.force ? " --force " : " ") +
      Quoted(OutputArgument(Absolute(options.output, here), options.kind)) + segments + "\n";
  const std::string drawPath = folder + "/draw.sh";
  const std::string joinPath = folder + "/join.sh";
  if (Result written = WriteScript(drawPath, draw); !written) return written;
  if (Result written = WriteScript(joinPath, joinScript); !written) return written;

  std::string submitted;
  if (!toDraw.empty()) {
    if (Result sent = Submit({"--array=" + ArrayIndices(toDraw), "--job-name=quorvane-chunks",
                              "--cpus-per-task=" + std::to_string(chunks.slurmCpus),
                              "--output=" + folder + "/chunk-%a.log"},
                             chunks.slurmOptions, drawPath, submitted);
        !sent)
      return Fail(sent.error + "; nothing was submitted");
    std::printf("chunks %s\n", submitted.c_str());
  }
  std::vector<std::string> after = {"--job-name=quorvane-join", "--output=" + folder + "/join.log"};
  if (!submitted.empty())
    after.insert(after.end(), {"--dependency=afterok:" + submitted, "--kill-on-invalid-dep=yes"});
  std::string joined;
  if (Result sent = Submit(after, chunks.slurmOptions, joinPath, joined); !sent)
    return Fail(sent.error + (submitted.empty() ? "; nothing was submitted"
                                                : "; the chunks went in as job " + submitted +
                                                      ": run this again to submit the join"));
  std::printf("join %s\n", joined.c_str());
  std::fflush(stdout);
  if (!options.quiet)
    ReportNote((toDraw.empty()
                    ? std::string("every chunk is drawn already")
                    : std::to_string(toDraw.size()) + " of " + std::to_string(count) + " chunks (" +
                          ArrayIndices(toDraw) + ") to draw as job " + submitted) +
               "; the join is job " + joined + ", and '" + options.output +
               "' appears when it is done. Logs and segments: " + folder);
  return {};
}
