#!/usr/bin/env bash
# The Windows build under Wine, on a private X server with no window manager:
# its imports, the same simulation as the Linux build, the backdrop over the
# whole screen, Escape and closing the window, music and its absence; then
# the screen saver (screensaver_checks.sh).
#   smoke_test.sh LINUX_BUILD WINDOWS_BUILD
# LINUX_BUILD holds quorvane-sim-hashes and tests/e2e/x_close_window;
# WINDOWS_BUILD holds quorvane.exe, quorvane.scr and quorvane-sim-hashes.exe,
# and keeps the Wine prefix between runs. Every wait is bounded.
linux_build=$(realpath "$1")
win_build=$(realpath "$2")
source "$(dirname "$0")/../e2e/lib.sh"

readonly kExe=$win_build/quorvane.exe
readonly kCloseWindow=$linux_build/tests/e2e/x_close_window
readonly kSystemDlls=" gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll winmm.dll "

export WINEPREFIX=$win_build/wineprefix
export WINEARCH=win64 WINEDEBUG=-all
# A crash exits instead of waiting on a debugger dialog; no Mono or Gecko install.
export WINEDLLOVERRIDES="mscoree,mshtml=,winedbg.exe=d"
# A home of our own whose ALSA configuration records what is played, so that
# no sound card is needed and a silent run can be told from one with music.
export HOME=$scratch/home
readonly kPlayed=$scratch/played.raw

trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true; cleanup' EXIT

for f in "$kExe" "$win_build/quorvane.scr" "$win_build/quorvane-sim-hashes.exe" \
         "$linux_build/quorvane-sim-hashes" "$kCloseWindow"; do
  [[ -f $f ]] || fail "$f is missing: run make build and make windows"
done

# The lib's start_piece runs a native binary; this one goes through Wine.
start_piece() {
  (cd "$rundir" && exec timeout 300 wine "$kExe") >"$scratch/stdout" 2>"$scratch/stderr" &
  piece_pid=$!
}

echo "-- imports of quorvane.exe"
imports=$(x86_64-w64-mingw32-objdump -p "$kExe" | awk '/DLL Name:/ {print tolower($3)}')
[[ -n $imports ]] || fail "no import table in $kExe"
for dll in $imports; do
  [[ $kSystemDlls == *" $dll "* ]] || fail "quorvane.exe imports $dll, which is not a system DLL"
done

# Every Wine process of the test shares one desktop, which takes the display
# of the first one: the X server comes first.
mkdir -p "$HOME"
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n' "$kPlayed" \
  >"$HOME/.asoundrc"
start_xvfb 640x480x24
make_test_atlas
make_test_mp3 3

if [[ ! -f $WINEPREFIX/.ready ]]; then
  echo "-- creating the Wine prefix"
  rm -rf "$WINEPREFIX"
  timeout 300 wineboot -i >/dev/null 2>&1 || fail "wineboot -i did not finish"
  timeout 120 wineserver -w || fail "wineserver did not settle after wineboot"
  touch "$WINEPREFIX/.ready"
fi
# Without a window manager a managed popup of size 0 stays 1x1 and black.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
  fail "cannot make Wine's windows unmanaged"

echo "-- the same simulation hashes on Linux and on Windows"
linux_hashes=$("$linux_build/quorvane-sim-hashes")
windows_hashes=$(cd "$win_build" && timeout 300 wine ./quorvane-sim-hashes.exe 2>/dev/null | tr -d '\r') ||
  fail "quorvane-sim-hashes.exe did not run to its end"
echo "$linux_hashes"
[[ $linux_hashes == "$windows_hashes" ]] || fail "the Windows build hashes differently:"$'\n'"$windows_hashes"

backdrop_shown() {
  piece_exited && fail "the piece ended before showing the backdrop"
  screen_shows "$kBackdropColour" 0.99
}
played_sound() { [[ -f $kPlayed && -n $(tr -d '\0' <"$kPlayed" | head -c1) ]]; }
# Wine takes a moment after showing its window before keys reach it (they go to
# the root window until it has the focus), so a key is pressed until it counts.
key_ended_it() {
  xdotool key "$1"
  sleep 1
  piece_exited
}

# run_until_quit HOW: the backdrop covers the screen, the music plays where its
# file is there and nothing sounds otherwise, HOW ends the run with status 0.
run_until_quit() {
  rm -f "$kPlayed"
  start_piece
  wait_until 120 backdrop_shown ||
    fail "the backdrop did not cover the screen (share $(colour_fraction "$kBackdropColour"))"
  if [[ -f $rundir/RX_muc.mp3 ]]; then
    wait_until 60 played_sound || fail "no music came out"
  else
    # With a file, sound comes out by the time the backdrop shows.
    sleep 3
    ! played_sound || fail "sound came out without a music file"
  fi
  case $1 in
    escape) wait_until 60 key_ended_it Escape || fail "Escape did not end the run" ;;
    close)
      # Wine names the window's class after the program file; the helper wants
      # the class to be the title, as the SDL build has it.
      window=$(xdotool search --name '^quorvane$' | head -n1)
      xdotool set_window --class quorvane "$window"
      wait_until 30 "$kCloseWindow" quorvane || fail "no window titled and classed quorvane"
      ;;
  esac
  expect_end 60 "$1"
}

echo "-- Escape ends the run"
run_until_quit escape

echo "-- closing the window ends the run"
run_until_quit close

echo "-- a missing music file changes nothing but the sound"
rm "$rundir/RX_muc.mp3"
run_until_quit escape

source "$(dirname "$0")/screensaver_checks.sh"

echo "PASS"
