#include "tools/chunks/chunk_options.h"

#include <string>

#include "tools/capture/capture_assets.h"
#include "tools/capture/output_target.h"

void DefineChunkOptions(CLI::App& app, ChunkOptions& options, CLI::Option* chunk) {
  const char* parts = "Chunks and workers";
  CLI::Option* jobs =
      app.add_option("--jobs", options.jobs,
                     "draw N chunks at once in N processes, the cores shared out among them,\n"
                     "and join them (default " +
                         std::to_string(kDefaultJobs) + ")")
          ->check(WholeNumberFrom(1, 256))
          ->excludes(chunk)
          ->group(parts);
  CLI::Option* slurm =
      app.add_option("--slurm", options.slurmChunks,
                     "submit N chunks to Slurm as a job array and the join as a job after them;\n"
                     "run again after a failed or cancelled chunk, it submits only the chunks\n"
                     "still missing. Run it where TEX.tga is, in a folder every node sees")
          ->check(WholeNumberFrom(1, kMaxParts))
          ->excludes(chunk)
          ->excludes(jobs)
          ->group(parts);
  app.add_option("--segments", options.segmentsFolder,
                 "with --slurm: the folder for the chunks, their logs and job scripts\n"
                 "(default: OUTPUT's name with -segments, beside it)")
      ->needs(slurm)
      ->group(parts);
  app.add_option("--slurm-cpus", options.slurmCpus,
                 "with --slurm: cores for each chunk's task (default 2)")
      ->check(WholeNumberFrom(1, 1024))
      ->needs(slurm)
      ->group(parts);
  app.add_option("--slurm-option", options.slurmOptions,
                 "with --slurm: an option for sbatch, such as --slurm-option=--partition=render;\n"
                 "may be given more than once")
      ->allow_extra_args(false)
      ->needs(slurm)
      ->group(parts);
  // The --jobs run's own workers: progress on standard output, gone with it.
  app.add_option("--worker-of", options.workerOf)->needs(chunk)->group("");
}

Result CheckCaptureCommandLine(CaptureOptions& options, const ChunkOptions& chunks,
                               FrameSpan& range) {
  Result checked = CheckCaptureOptions(options);
  if (checked) checked = CaptureRange(options, range);
  if (checked && options.chunkCount > 0) checked = CheckParts(range, options.chunkCount, "--chunk");
  if (checked && chunks.slurmChunks > 0) checked = CheckParts(range, chunks.slurmChunks, "--slurm");
  return checked;
}

Result ReadyToHandOut(const CaptureOptions& options) {
  std::string atlas;
  if (Result found = FindCaptureAtlas(atlas); !found) return found;
  return MayWriteOutput(options.kind, options.output, options.force);
}
