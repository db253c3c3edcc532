#!/usr/bin/env bash
# The README's marked examples of the tools, run as written in a fresh folder
# whose build/ holds the tools and the piece's files, so that a documented
# command that stops working fails here.
# Usage: readme_examples_test.sh README BUILD_DIR
set -euo pipefail
readme=$1
build=$(cd "$2" && pwd)
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
mkdir "$fresh/build"
for file in quorvane-stills quorvane-capture quorvane-join TEX.tga RX_muc.mp3; do
  ln -s "$build/$file" "$fresh/build/$file"
done

# Each block between the markers: its indented lines, the indent dropped.
blocks=0
while IFS= read -r -d '' block; do
  blocks=$((blocks + 1))
  echo "--- example $blocks:"
  echo "$block"
  # Blocks that do not change folder themselves run where the README says
  # the tools run, in build/.
  start=$fresh/build
  [[ $block == "cd "* ]] && start=$fresh
  (cd "$start" && bash -euo pipefail -c "$block") || {
    echo "FAIL: example $blocks did not run as written"
    exit 1
  }
done < <(awk '/<!-- examples run by/ { on = 1; next }
              /<!-- end of examples -->/ { if (on) printf "%s", block "\0"; on = 0; block = ""; next }
              on && /^    / { block = block substr($0, 5) "\n" }' "$readme")
((blocks >= 2)) || { echo "FAIL: found $blocks marked examples in $readme"; exit 1; }

# What they say they make.
for made in build/stills/still-30000ms.png build/stills/still-160000ms.png build/part.mp4; do
  [[ -s $fresh/$made ]] || { echo "FAIL: no $made"; exit 1; }
done
echo "all $blocks examples ran"
