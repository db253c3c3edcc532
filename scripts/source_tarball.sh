#!/usr/bin/env bash
# Writes the source tarball TARBALL (quorvane-VERSION.tar.gz): the tracked
# files as they are in the working tree (what is being built), or in an
# unpacked tarball everything but build output, with the release's time in a
# SOURCE_DATE_EPOCH file so that it builds the same without git.
#   source_tarball.sh TARBALL   (SOURCE_DATE_EPOCH set)
set -euo pipefail
: "${SOURCE_DATE_EPOCH:?must hold the time of the release}"
tarball=$(realpath -m "$1")
cd "$(dirname "$0")/.."
src=quorvane-$(bash scripts/version.sh)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z >"$work/files"
else
  find . \( -path ./.git -o -path './build*' -o -path ./dist -o -name node_modules \) -prune \
    -o \( -type f -o -type l \) -printf '%P\0' | grep -zv '^SOURCE_DATE_EPOCH$' >"$work/files"
fi
mkdir "$work/$src"
tar --create --null --files-from="$work/files" | tar --extract --directory="$work/$src"
echo "$SOURCE_DATE_EPOCH" >"$work/$src/SOURCE_DATE_EPOCH"
tar --create --format=gnu --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
  --numeric-owner --mode='a+rX,u+w,go-w' --directory="$work" "$src" | gzip -9n >"$tarball"
