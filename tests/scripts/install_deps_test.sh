#!/usr/bin/env bash
# Where packages cannot be installed, install-deps names what is missing and
# steps aside (status 0), so that CMake can say which part lacks what, instead
# of the set-up failing first. Runs with a PATH of stand-ins: a dpkg-query that
# knows only some packages, and no apt-get, or no root and no sudo.
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/bin"
for tool in bash grep id; do ln -s "$(command -v "$tool")" "$work/bin/$tool"; done
cat >"$work/bin/dpkg-query" <<'STANDIN'
#!/bin/bash
# Installed: everything but SDL2 and CLI11.
case ${@: -1} in libsdl2-dev|libcli11-dev) exit 1 ;; *) echo 'install ok installed' ;; esac
STANDIN
chmod +x "$work/bin/dpkg-query"

status=0
PATH=$work/bin bash "$script" >"$work/out" 2>&1 || status=$?
((status == 0)) || fail "exit status $status without apt-get: $(cat "$work/out")"
grep -q 'no apt-get on this machine' "$work/out" || fail "$(cat "$work/out")"
grep -q 'could not install: libcli11-dev libsdl2-dev' "$work/out" || fail "$(cat "$work/out")"

# Everything installed: nothing to say.
printf '#!/bin/bash\necho "install ok installed"\n' >"$work/bin/dpkg-query"
PATH=$work/bin bash "$script" >"$work/out" 2>&1 || fail "status $? with nothing missing"
[[ ! -s $work/out ]] || fail "said something with nothing missing: $(cat "$work/out")"
echo "install-deps steps aside with: $(head -n 1 "$work/out")"
