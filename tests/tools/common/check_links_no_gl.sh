#!/usr/bin/env bash
# Fails when a program would load a GL library: programs that draw nothing
# (the soundtrack generator, the hash tool) must run where no GL is installed.
#   check_links_no_gl.sh PROGRAM
set -euo pipefail
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
[[ -f $program && -x $program ]] || fail "no program at $program"
libraries=$(ldd "$program" 2>&1) || fail "ldd cannot list the libraries of $program: $libraries"
gl=$(grep -E '^[[:space:]]*lib(GL|GLU|OpenGL|EGL|GLX|GLdispatch)([._-]|$)' <<<"$libraries" || true)
[[ -z $gl ]] || fail "$program links GL:"$'\n'"$gl"
echo "$program links no GL"
