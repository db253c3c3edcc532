#!/usr/bin/env bash
# The include-floor check on small trees made for it: quiet on a tree that
# keeps the floors, and naming every fault planted in one that does not.
#   include_floors_test.sh CHECKER
set -euo pipefail
checker=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# FILE [INCLUDED...]: a source under $tree that includes the others.
tree=
source_file() {
  local file=$1
  shift
  mkdir -p "$(dirname "$tree/$file")"
  : >"$tree/$file"
  for included in "$@"; do echo "#include \"$included\"" >>"$tree/$file"; done
}

# Each floor reaching every one below it, a platform reaching the host and
# the layer, a tool reaching the shared tool code and a platform, tests and
# a benchmark reaching anything, and an include by the file's own folder.
tree=$scratch/clean
source_file base/result.h
source_file sim/swarm.h base/result.h
source_file sim/swarm.cpp sim/swarm.h
source_file gl/gl_subset.h
source_file gl/gles/layer.h gl/gl_subset.h base/result.h
source_file script/script.h sim/swarm.h
source_file scene/timeline.cpp script/script.h gl/gl_subset.h sim/swarm.h
source_file scene/timeline.h
source_file host/frame.cpp scene/timeline.h
source_file host/frame.h
source_file host/web/canvas.cpp host/frame.h gl/gles/layer.h
source_file tools/common/options.h
source_file tools/capture/run.cpp tools/common/options.h host/frame.h
source_file tools/capture/progress.cpp progress.h
source_file tools/capture/progress.h
source_file tools/chunks/jobs.cpp tools/capture/progress.h tools/common/options.h
source_file tests/host/frame_test.cpp host/frame.h tools/capture/progress.h
source_file bench/step_bench.cpp sim/swarm.h
if ! said=$(bash "$checker" "$tree") || [[ -n $said ]]; then
  echo "FAIL: a tree that keeps the floors was refused: $said" >&2
  exit 1
fi

tree=$scratch/faulty
cp -r "$scratch/clean" "$tree"
source_file base/exit_status.h sim/swarm.h      # up from the very bottom
source_file sim/field.cpp scene/timeline.h       # up from the bottom
source_file gl/gles/draw.cpp sim/swarm.h         # across the bottom floor
source_file host/frame_loop.cpp host/web/canvas.h  # from the host into a platform
source_file host/web/canvas.h
source_file host/sdl/window.cpp host/web/canvas.h  # from one platform into another
source_file tools/stills/main.cpp tools/capture/progress.h  # from one tool into another
source_file tools/capture/run.h tools/chunks/jobs.h  # from the capture into its chunks
source_file tools/chunks/jobs.h tools/stills/main.h  # from the chunks into another tool
source_file tools/stills/main.h
source_file script/modes.cpp tests/host/frame_test.h  # into the tests
source_file tests/host/frame_test.h
source_file render/pass.cpp                      # a folder with no floor
source_file sim/rng.h sim/hash.h                 # a circle of modules
source_file sim/hash.h
source_file sim/hash.cpp sim/rng.h
status=0
said=$(bash "$checker" "$tree") || status=$?
expected=(
  "upward include: base/exit_status.h (base) includes sim/swarm.h (sim)"
  "upward include: sim/field.cpp (sim) includes scene/timeline.h (scene)"
  "upward include: gl/gles/draw.cpp (gl) includes sim/swarm.h (sim)"
  "upward include: host/frame_loop.cpp (host) includes host/web/canvas.h (host/web)"
  "upward include: host/sdl/window.cpp (host/sdl) includes host/web/canvas.h (host/web)"
  "upward include: tools/stills/main.cpp (tools/stills) includes tools/capture/progress.h (tools/capture)"
  "upward include: tools/capture/run.h (tools/capture) includes tools/chunks/jobs.h (tools/chunks)"
  "across the tools: tools/chunks/jobs.h (tools/chunks) includes tools/stills/main.h (tools/stills)"
  "upward include: script/modes.cpp (script) includes tests/host/frame_test.h (top)"
  "no floor: render/pass.cpp"
  "circle: sim/hash -> sim/rng -> sim/hash"
)
for fault in "${expected[@]}"; do
  if [[ $said != *"$fault"* ]]; then
    echo "FAIL: not named: $fault" >&2
    echo "the check said: $said" >&2
    exit 1
  fi
done
[[ $status -eq 1 ]] || { echo "FAIL: the check exited $status on a faulty tree" >&2; exit 1; }
echo "PASS: a clean tree passes; all ${#expected[@]} planted faults are named"
