#!/usr/bin/env bash
# Runs the fuzz targets of a libFuzzer build one after another, SECONDS each
# (one process, nice'd), and merges what each found that reaches new code
# into its corpus in the source tree; then, as target page_parameters, the
# page's URL parameter properties in Node (tests/web/parameters.test.mjs),
# SECONDS each, whose regression cases are listed in the test itself.
# Inputs that crash, hang, leak or trip a sanitizer or a target's check are
# kept in BUILD/fuzz-findings/NAME/ and named at the end; the status is then 1.
#   run_fuzz.sh BUILD SECONDS [NAME...]     (default: every target)
# Prints per target: executions per second, coverage (edges, features) at the
# start and at the end, and the corpus size before and after the merge.
set -euo pipefail
build=$(cd "$1" && pwd) seconds=$2
shift 2
list=$build/fuzz-targets.txt
[[ -f $list ]] || { echo "run_fuzz: no $list; configure with -DQUORVANE_FUZZ=ON" >&2; exit 2; }
for name in "$@"; do
  [[ $name == page_parameters ]] || cut -d' ' -f1 "$list" | grep -qx -- "$name" ||
    { echo "run_fuzz: no target '$name' ($(cut -d' ' -f1 "$list" | xargs) page_parameters)" >&2
      exit 2; }
done

# The first and last coverage report of a log, as "cov A -> B, ft C -> D".
coverage() {
  local first last
  first=$(grep -m1 -E '^#[0-9]+.*(INITED|NEW|pulse)' "$1" || true)
  last=$(grep -E '^#[0-9]+.*(cov|DONE)' "$1" | tail -n 1 || true)
  field() { sed -n "s/.* $1: \([0-9]*\).*/\1/p" <<<"$2"; }
  echo "cov $(field cov "$first") -> $(field cov "$last"), ft $(field ft "$first") -> $(field ft "$last")"
}

status=0
found=()
while read -r name exe corpus dict maxLen timeout; do
  if (($# > 0)) && [[ " $* " != *" $name "* ]]; then continue; fi
  work=$build/fuzz-runs/$name
  findings=$build/fuzz-findings/$name
  rm -rf "$work"
  mkdir -p "$work/new" "$findings"
  options=(-max_len="$maxLen" -timeout="$timeout" -rss_limit_mb=2048 -malloc_limit_mb=2048
           -print_final_stats=1 -artifact_prefix="$findings/")
  [[ $dict == - ]] || options+=(-dict="$dict")
  before=$(find "$corpus" -type f | wc -l)
  runStatus=0
  nice -n 10 "$exe" "${options[@]}" -max_total_time="$seconds" "$work/new" "$corpus" \
    >"$work/log" 2>&1 || runStatus=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log")
  # Only inputs that reach new edges join the committed corpus: counting how
  # often an edge runs as well would keep hundreds of near-copies.
  nice -n 10 "$exe" -merge=1 -use_counters=0 "${options[@]}" "$corpus" "$work/new" >"$work/merge.log" 2>&1 ||
    runStatus=$((runStatus ? runStatus : 1))
  after=$(find "$corpus" -type f | wc -l)
  echo "$name: ${execs:-?} runs, ${rate:-?} exec/s, $(coverage "$work/log"), corpus $before -> $after files"
  if ((runStatus != 0)) || [[ -n $(ls -A "$findings") ]]; then
    status=1
    found+=("$name: see $work/log and $findings/")
    grep -m3 -E 'ERROR:|runtime error|fuzz target:' "$work/log" | sed 's/^/  /' || true
  fi
done <"$list"
if (($# == 0)) || [[ " $* " == *" page_parameters "* ]]; then
  work=$build/fuzz-runs/page_parameters
  mkdir -p "$work"
  root=$(cd "$(dirname "$0")/.." && pwd)
  if QUORVANE_FUZZ_SECONDS=$seconds nice -n 10 node --test "$root/tests/web/parameters.test.mjs" \
       >"$work/log" 2>&1; then
    echo "page_parameters: $(grep -o '[0-9]* runs in [0-9]* s' "$work/log" | paste -sd ';' - | sed 's/;/, /g')"
  else
    status=1
    found+=("page_parameters: see $work/log (its counterexample)")
  fi
fi
for line in "${found[@]}"; do echo "finding: $line"; done
exit $status
