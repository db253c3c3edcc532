#!/usr/bin/env bash
# Reads the generated soundtrack back with ffprobe, mpg123 and ffmpeg and checks
# format, length and the loudness plan.
#   check_soundtrack.sh RX_muc.mp3
set -euo pipefail
mp3=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { awk -v v="$2" "BEGIN { exit !(v $3) }" || fail "$1: $2 is not $3"; }
[[ -f $mp3 ]] || fail "no soundtrack at $mp3"

probe() { ffprobe -v error -select_streams a:0 -show_entries "$2" -of default=nw=1:nk=1 "$1"; }
[[ $(probe "$mp3" stream=codec_name) == mp3 ]] || fail "not an MP3 stream"
[[ $(probe "$mp3" stream=sample_rate) == 44100 ]] || fail "sample rate $(probe "$mp3" stream=sample_rate)"
[[ $(probe "$mp3" stream=channels) == 2 ]] || fail "channels $(probe "$mp3" stream=channels)"
expect "bit rate" "$(probe "$mp3" stream=bit_rate)" ">= 180000 && v <= 200000"
expect "ffprobe duration" "$(probe "$mp3" format=duration)" ">= 229.9 && v <= 230.1"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# mpg123 decodes independently of ffmpeg and trims encoder delay and padding by the LAME tag.
mpg123 -q -w "$work/decoded.wav" "$mp3"
[[ $(probe "$work/decoded.wav" stream=sample_rate) == 44100 ]] || fail "decoded sample rate"
[[ $(probe "$work/decoded.wav" stream=channels) == 2 ]] || fail "decoded channels"
expect "decoded samples" "$(probe "$work/decoded.wav" stream=duration_ts)" ">= 10143000 - 4410 && v <= 10143000 + 4410"

# stat START LENGTH NAME: one overall astats figure of the decoded signal ("-inf" for silence).
stat() {
  ffmpeg -hide_banner -nostats -ss "$1" -t "$2" -i "$work/decoded.wav" \
         -af astats=measure_perchannel=none -f null - 2>&1 |
    awk -v name="$3" 'index($0, name ":") { v = $NF } END { print (v == "-inf" ? -200 : v) }'
}
rms() { stat "$1" "$2" "RMS level dB"; }

expect "peak dBFS" "$(stat 0 230 'Peak level dB')" "< -1"
expect "DC offset" "$(stat 0 230 'DC offset')" "> -0.001 && v < 0.001"

intro=$(rms 0 19)
surge=$(rms 130 60)
beforeFade=$(rms 215 4)
inFade=$(rms 220 1)
outro=$(rms 222 7)
echo "RMS dBFS: intro $intro, 130-190 $surge, 215-219 $beforeFade, 220-221 $inFade, 222-229 $outro"
difference() { awk "BEGIN { print ($1) - ($2) }"; }
expect "130-190 over the intro" "$(difference "$surge" "$intro")" ">= 6"
expect "220-221 under 215-219" "$(difference "$beforeFade" "$inFade")" ">= 10"
expect "intro start is quiet" "$(rms 0.2 3)" "< $intro"
for window in "19 42" "61 19" "80 50" "190 20" "210 7" "217 2"; do
  expect "music playing in $window" "$(rms $window)" "> -30"
done
expect "outro under the title cards" "$outro" "> -45 && v < $beforeFade - 10"
expect "silence at the very end" "$(rms 229.95 0.05)" "< -60"
echo "soundtrack ok"
