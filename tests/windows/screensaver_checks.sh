# quorvane.scr under Wine, sourced by smoke_test.sh on its X server, prefix
# and recorded sound: /s full screen, silent, ended by a key and by a mouse
# move; /p inside a parent window that a helper makes and then closes; /c's
# message box, and a bad argument's.

readonly kScr=$rundir/quorvane.scr
readonly kParent=$scratch/preview_parent.exe
# The preview's parent on the 640x480 screen: a quarter of it, off the corner.
readonly kParentGeometry=(160 120 320 240)

# Windows starts a saver in a folder of its own; the .scr finds its files
# beside itself, so it is run from elsewhere.
start_saver() {
  cp "$win_build/quorvane.scr" "$kScr"
  (cd "$scratch" && exec timeout 300 wine "$kScr" "$@") >"$scratch/stdout" 2>"$scratch/stderr" &
  piece_pid=$!
}

x86_64-w64-mingw32-g++ -std=c++20 -O1 -static -o "$kParent" \
  "$(dirname "$0")/preview_parent.cpp" -lgdi32 || fail "cannot build the preview's parent"

# saver_until_input key|move ARGUMENT: the backdrop covers the screen, nothing
# sounds although the music file is there, and the input ends it with 0.
saver_until_input() {
  rm -f "$kPlayed"
  xdotool mousemove 320 240
  start_saver "$2"
  wait_until 120 backdrop_shown ||
    fail "$2: the backdrop did not cover the screen (share $(colour_fraction "$kBackdropColour"))"
  # A pointer's jitter is no move.
  xdotool mousemove_relative -- 2 1
  sleep 3
  ! played_sound || fail "$2: sound came out of the screen saver"
  ! piece_exited || fail "$2: it ended before any input"
  case $1 in
    key) wait_until 60 key_ended_it space || fail "$2: a key press did not end it" ;;
    move) wait_until 60 move_ended_it || fail "$2: a mouse move did not end it" ;;
  esac
  expect_end 60 "$2 ended by $1"
}
move_ended_it() {
  xdotool mousemove_relative -- 40 30
  sleep 1
  piece_exited
}

echo "-- quorvane.scr /s: full screen and silent until a key"
make_test_mp3 3
saver_until_input key /s
echo "-- quorvane.scr -S: the same, until the mouse moves"
saver_until_input move -S

parent_said() { grep -q "^$1 " "$scratch/parent.out" 2>/dev/null; }

echo "-- quorvane.scr /p HWND: inside its parent, until the parent closes"
read -r px py pw ph <<<"${kParentGeometry[*]}"
cp "$win_build/quorvane.scr" "$kScr"
rm -f "$kPlayed" "$scratch/close-parent"
# Wine's trace of its GL driver counts the pictures presented.
(cd "$scratch" && WINEDEBUG=trace+wgl exec timeout 300 wine "$kParent" "$kScr" "$px" "$py" "$pw" \
  "$ph" close-parent) >"$scratch/parent.out" 2>"$scratch/preview.trace" &
piece_pid=$!
wait_until 120 parent_said child || fail "no preview inside the parent: $(cat "$scratch/parent.out")"
child=$(awk '$1 == "child" {print $2}' "$scratch/parent.out" | tr -d '\r')
[[ $child == "${pw}x$ph" ]] || fail "the preview is $child, not the parent's ${pw}x$ph"
# Its picture cannot be looked at: Wine 8 keeps a window whose parent belongs
# to another process off the screen, under a hidden 1x1 X window of its own,
# and shows nothing of it in the parent. That it presents picture after
# picture, silent, is seen.
presented() { grep -c 'wglSwapBuffers' "$scratch/preview.trace" || true; }
before=$(presented)
sleep 3
! piece_exited || fail "the preview ended early: $(grep -v ':trace:' "$scratch/preview.trace" | tail)"
(($(presented) - before >= 10)) || fail "the preview presented $(($(presented) - before)) pictures in 3 s"
! played_sound || fail "sound came out of the preview"
touch "$scratch/close-parent"
wait_piece 60
((piece_status == 0)) ||
  fail "the preview's parent: $(grep -v ':trace:' "$scratch/preview.trace" | tail)"
grep -q '^ended 0' "$scratch/parent.out" ||
  fail "the preview did not end with 0 when its parent closed: $(cat "$scratch/parent.out")"

# box_shown ARGUMENT: the saver's message box, titled quorvane, is up.
box_shown() {
  piece_exited && fail "$1 ended before its message box was dismissed"
  [[ -n $(xdotool search --name '^quorvane$' 2>/dev/null) ]]
}
# saver_box ARGUMENT STATUS: a message box that Return dismisses, then STATUS.
saver_box() {
  start_saver "$1"
  wait_until 60 box_shown "$1" || fail "$1 showed no message box"
  wait_until 30 key_ended_it Return || fail "Return did not dismiss the box of $1"
  wait_piece 30
  ((piece_status == $2)) || fail "$1: exit status $piece_status, expected $2"
}

echo "-- quorvane.scr /c: no settings, said in a box"
saver_box /c 0
echo "-- quorvane.scr /x: refused in a box"
saver_box /x 2
