#!/usr/bin/env bash
# The photosensitivity warning's one text stands word for word in the README
# and in the installed XScreenSaver settings, installed beside the display
# mode where XScreenSaver looks for both.
#   warning_installed_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
warning=$(<"$source_dir/packaging/photosensitivity_warning.txt")
fail() { echo "FAIL: $*" >&2; exit 1; }

grep -qF -- "$warning" "$source_dir/README.md" || fail "README.md lacks the warning's words"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
hack=$prefix/libexec/xscreensaver/quorvane
config=$prefix/share/xscreensaver/config/quorvane.xml
[[ -x $hack ]] || fail "no display mode at $hack"
"$hack" --version | grep -q '^quorvane-screensaver ' || fail "$hack is not the display mode"
[[ -f $config ]] || fail "no settings at $config"
grep -qF -- "$warning" "$config" || fail "$config lacks the warning's words"
grep -q '<screensaver name="quorvane"' "$config" || fail "$config does not name the mode"
xmllint --noout "$config" 2>/dev/null || ! command -v xmllint >/dev/null ||
  fail "$config is not well-formed"
echo PASS
