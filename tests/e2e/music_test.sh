#!/usr/bin/env bash
# What is played, captured through SDL's disk audio driver, equals an
# independent decode of the same MP3 from its first sample, once. A music file
# that is missing, empty, not MP3 (random bytes, a WAV) or a FIFO without a
# writer gives silence, at most a line or two on stderr instead of a flood of
# decoder messages, and a run that still ends when asked.
source "$(dirname "$0")/lib.sh"

readonly kPlayed=$scratch/played.raw
# The 2-second test track plus a good second: 44100 frames of 4 bytes each.
readonly kEnoughBytes=$((3 * 44100 * 4))

played_bytes() { stat -c %s "$kPlayed" 2>/dev/null || echo 0; }
enough_played() { (($(played_bytes) >= kEnoughBytes)); }

# play_and_stop: runs the piece until the capture holds kEnoughBytes, then ends it.
play_and_stop() {
  rm -f "$kPlayed"
  start_piece SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$kPlayed"
  wait_until 240 enough_played || fail "only $(played_bytes) bytes of audio came out"
  kill -TERM "$piece_pid"
  expect_end 60 "$1"
}

start_xvfb 1280x720x24
make_test_atlas

make_test_mp3 2
mpg123 -q -s "$rundir/RX_muc.mp3" >"$scratch/reference.raw"
play_and_stop "with music"
"$PCM_MATCH" "$kPlayed" "$scratch/reference.raw" || fail "the played stream differs from the decode"

for kind in missing empty random wav fifo; do
  rm -f "$rundir/RX_muc.mp3"
  case $kind in
    missing) ;;
    empty) : >"$rundir/RX_muc.mp3" ;;
    random) head -c 200000 /dev/urandom >"$rundir/RX_muc.mp3" ;;
    wav) make_test_wav 3 ;;
    fifo) mkfifo "$rundir/RX_muc.mp3" ;;
  esac
  play_and_stop "$kind music file"
  sound=$(tr -d '\0' <"$kPlayed" | wc -c)
  ((sound == 0)) || fail "$kind music file: $sound non-zero bytes were played"
  # Less the two lines in which SDL's disk audio driver announces itself.
  lines=$(grep -cv '^CRITICAL: ' "$scratch/stderr" || true)
  ((lines <= 2)) || fail "$kind music file: $lines lines on stderr"
done
