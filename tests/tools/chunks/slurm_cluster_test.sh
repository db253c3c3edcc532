#!/usr/bin/env bash
# The capture on a one-node Slurm cluster of the test's own, on 127.0.0.1,
# with munge, state, spool, logs and configuration in a private folder. For a
# video: three chunks and their join equal one run; a cancelled chunk leaves
# no joined output, and the resubmission draws that chunk alone. For PNG
# frames: three chunks joined into a folder hold one run's files, byte for
# byte. Every daemon the test started is stopped by its process id, whatever
# the outcome.
#   slurm_cluster_test.sh BUILD_DIR video|frames
set -euo pipefail
build=$(cd "$1" && pwd)
output=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
for program in munged slurmctld slurmd sbatch squeue scontrol scancel; do
  command -v "$program" >/dev/null ||
    fail "$program is missing: scripts/install-deps.sh --cluster installs Slurm and munge"
done
[[ $(id -u) -eq 0 ]] || fail "the one-node cluster runs its daemons as root: run this as root"

work=$(mktemp -d /tmp/quorvane-slurm-XXXXXX)
chmod 755 "$work"
pids=()
stop_cluster() {
  # Jobs first, so that no task outlives the daemons, then the daemons.
  if [[ -n ${SLURM_CONF:-} && -s $work/slurmctld.pid ]]; then
    scancel --quiet --name=quorvane-chunks,quorvane-join 2>/dev/null || true
    for _ in $(seq 50); do
      [[ -z $(squeue -h -o %i 2>/dev/null) ]] && break
      sleep 0.2
    done
  fi
  for file in slurmd.pid slurmctld.pid munged.pid; do
    [[ -s $work/$file ]] && pids+=("$(cat "$work/$file")")
  done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop_cluster EXIT

# A port no one listens on now (a connection to it is refused).
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

mkdir -p "$work/state" "$work/spool" "$work/munge"
munged --force --socket="$work/munge/munge.socket" --pid-file="$work/munged.pid" \
  --log-file="$work/munged.log" --seed-file="$work/munged.seed"
host=$(hostname -s)
ctld_port=$(free_port)
slurmd_port=$(free_port)
[[ $ctld_port != "$slurmd_port" ]] || slurmd_port=$((ctld_port + 1))
cat >"$work/slurm.conf" <<CONF
ClusterName=quorvane-test
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge/munge.socket
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
ReturnToService=2
MailProg=/bin/true
MinJobAge=600
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=quorvane Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$work/slurm.conf
slurmctld -c
slurmd -c -N "$host"

up=no
for _ in $(seq 100); do
  if [[ $(sinfo -h -o %T 2>/dev/null) == idle ]]; then up=yes; break; fi
  sleep 0.2
done
[[ $up == yes ]] || fail "the cluster did not come up: $(tail -n 5 "$work"/slurm*.log)"

job_state() { scontrol -o show job "$1" 2>/dev/null | grep -o 'JobState=[A-Z_]*' | sort -u | cut -d= -f2 | tr '\n' ' '; }
wait_for_jobs() {
  local id
  for _ in $(seq 600); do
    local left=0
    for id in "$@"; do [[ -n $(squeue -h -j "$id" -o %i 2>/dev/null) ]] && left=1; done
    ((left == 0)) && return 0
    sleep 0.2
  done
  fail "jobs $* did not end: $(squeue 2>&1)"
}

# The run everything is compared with, and the place the chunks are drawn from.
assets=$work/assets
mkdir "$assets"
ln -s "$build/TEX.tga" "$build/RX_muc.mp3" "$assets/"
cd "$assets"

if [[ $output == frames ]]; then
  range=(--size 64x36 --frames 121-132)
  "$build/quorvane-capture" --quiet "${range[@]}" one/
  submitted=$("$build/quorvane-capture" --quiet "${range[@]}" --slurm 3 --slurm-cpus 1 joined/)
  chunks=$(sed -n 's/^chunks //p' <<<"$submitted")
  join=$(sed -n 's/^join //p' <<<"$submitted")
  [[ -n $chunks && -n $join ]] || fail "no job ids in: $submitted"
  wait_for_jobs "$chunks" "$join"
  [[ $(job_state "$join") == "COMPLETED " ]] ||
    fail "the join is $(job_state "$join"): $(cat joined-segments/*.log)"
  [[ $(ls joined) == "$(ls one)" ]] || fail "joined frames: $(ls joined | tr '\n' ' ')"
  for frame in one/*.png; do
    cmp -s "$frame" "joined/${frame#one/}" || fail "joined/${frame#one/} differs from one run's"
  done
  echo "three chunks of PNG frames on Slurm joined into a folder equal to one run"
  exit 0
fi

range=(--size 64x36 --crf 0 --frames 61-150)
"$build/quorvane-capture" --quiet "${range[@]}" one.mp4

# Held, so that chunk 2 can be cancelled before it runs.
submitted=$("$build/quorvane-capture" "${range[@]}" --slurm 3 --slurm-cpus 1 \
  --slurm-option=--hold joined.mp4)
chunks=$(sed -n 's/^chunks //p' <<<"$submitted")
join=$(sed -n 's/^join //p' <<<"$submitted")
[[ -n $chunks && -n $join ]] || fail "no job ids in: $submitted"
scancel "${chunks}_2"
scontrol release "$chunks"
scontrol release "$join" 2>/dev/null || true
wait_for_jobs "$chunks" "$join"
[[ ! -e joined.mp4 ]] || fail "a join ran although chunk 2 was cancelled"
[[ $(job_state "$join") == "CANCELLED " ]] || fail "the join is $(job_state "$join")"
segments=$assets/joined-segments
[[ -s $segments/chunk-1.mp4.json && -s $segments/chunk-3.mp4.json ]] ||
  fail "chunks 1 and 3 were not drawn: $(ls "$segments"; cat "$segments"/*.log)"
[[ ! -e $segments/chunk-2.mp4 ]] || fail "the cancelled chunk 2 was drawn"
before=$(stat -c '%i %Y' "$segments"/chunk-[13].mp4)

submitted=$("$build/quorvane-capture" "${range[@]}" --slurm 3 --slurm-cpus 1 joined.mp4 2>&1)
grep -q '1 of 3 chunks (2) to draw' <<<"$submitted" || fail "resubmitted: $submitted"
chunks=$(sed -n 's/^chunks //p' <<<"$submitted")
join=$(sed -n 's/^join //p' <<<"$submitted")
wait_for_jobs "$chunks" "$join"
[[ $(job_state "$join") == "COMPLETED " ]] ||
  fail "the join is $(job_state "$join"): $(cat "$segments"/*.log)"
[[ $(stat -c '%i %Y' "$segments"/chunk-[13].mp4) == "$before" ]] || fail "chunks 1 or 3 were drawn again"

frames() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 -; }
sound() { ffmpeg -v error -i "$1" -map 0:a -f md5 -; }
[[ $(frames joined.mp4) == "$(frames one.mp4)" ]] || fail "the joined frames differ from one run's"
[[ $(sound joined.mp4) == "$(sound one.mp4)" ]] || fail "the joined sound differs from one run's"
echo "three chunks on Slurm, one cancelled and drawn again, joined equal to one run"
