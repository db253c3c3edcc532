#!/usr/bin/env bash
# Checks the include graph of the C++ sources under ROOT (default: this
# repository): every quoted include must point to the file's own folder or
# to a lower floor, and no module (a header with its source) may reach
# itself again through its includes. Prints each fault and exits 1 if any.
#   include_floors.sh [ROOT]
#
# The floors, lowest first; folders on one floor know nothing of each other:
#   base               the result type, the exit statuses, the piece's
#                      shared facts, a hash and whole-text numbers, for every
#                      floor
#   sim, gl            the simulation; the GL subset and its ES 2 layer
#   script             the script table, read by the scene and the music
#   scene              the drawing
#   host               the program above the platform seam
#   host/*             one platform (sdl, win32, web) or surface (egl) each
#   tools/common       what the tools share
#   tools/*            one tool each
#   tools/chunks       a capture handed out in chunks, above the capture it
#                      hands out
#   tests, bench       above everything, included by nothing below
set -euo pipefail

root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

# Every source as FILE alone, then FILE INCLUDED for each quoted include
# whose file exists, the included path resolved from the root or else from
# the including file's folder. Build folders and what npm fetched are no
# sources.
sources() {
  find . \( -path './build*' -o -name node_modules -o -path './.*' \) -prune -o -type f \
       \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0' | sort -z
}

edges() {
  sources | tr '\0' '\n'
  sources | xargs -0 -r grep -H '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
  while IFS= read -r line; do
    file=${line%%:*}
    included=${line#*\"}
    included=${included%%\"*}
    if [[ -f $included ]]; then
      echo "$file $included"
    elif [[ -f $(dirname "$file")/$included ]]; then
      echo "$file $(realpath -m --relative-to=. "$(dirname "$file")/$included")"
    fi
  done
}

edges | awk '
  function room(path,   part) {
    split(path, part, "/")
    if (part[1] == "base" || part[1] == "sim" || part[1] == "gl" || part[1] == "script" ||
        part[1] == "scene")
      return part[1]
    if (part[1] == "host" || part[1] == "tools")
      return (part[3] == "") ? part[1] : part[1] "/" part[2]
    if (part[1] == "tests" || part[1] == "bench") return "top"
    return ""
  }
  function floor_of(r) {
    if (r == "base") return 0
    if (r == "sim" || r == "gl") return 1
    if (r == "script") return 2
    if (r == "scene") return 3
    if (r == "host") return 4
    if (r ~ /^host\//) return 5
    if (r == "tools/common") return 6
    if (r == "tools/chunks") return 8
    if (r ~ /^tools\//) return 7
    return 9
  }
  function module_of(path) { sub(/\.(h|cpp)$/, "", path); return path }

  NF == 1 {
    if (room($1) == "") {
      printf "no floor: %s lies outside the folders this check knows\n", $1
      faults++
    }
    next
  }

  {
    from = room($1); to = room($2)
    if (from != to && from != "top" && floor_of(to) >= floor_of(from)) {
      printf "upward include: %s (%s) includes %s (%s)\n", $1, from, $2, to
      faults++
    } else if (from == "tools/chunks" && floor_of(to) == 7 && to != "tools/capture") {
      printf "across the tools: %s (%s) includes %s (%s)\n", $1, from, $2, to
      faults++
    }
    a = module_of($1); b = module_of($2)
    if (a != b && !((a, b) in edge)) {
      edge[a, b] = 1
      out[a] = out[a] " " b
      modules[a] = modules[b] = 1
    }
  }

  # The circle from stack[first] to the top of the stack, told from its
  # least module on, so that the same circle always reads the same.
  function report_circle(first,   j, least, path) {
    least = first
    for (j = first; j <= depth; j++) if (stack[j] < stack[least]) least = j
    path = stack[least]
    for (j = least + 1; j <= depth; j++) path = path " -> " stack[j]
    for (j = first; j <= least; j++) path = path " -> " stack[j]
    printf "circle: %s\n", path
    faults++
  }

  # Depth-first search; a module met again while still on the path closes a circle.
  function visit(m,   next_modules, n, i, j) {
    state[m] = 1
    stack[++depth] = m
    n = split(out[m], next_modules, " ")
    for (i = 1; i <= n; i++) {
      if (state[next_modules[i]] == 1) {
        for (j = depth; stack[j] != next_modules[i]; j--) {}
        report_circle(j)
      } else if (state[next_modules[i]] == 0) {
        visit(next_modules[i])
      }
    }
    depth--
    state[m] = 2
  }

  END {
    for (m in modules) if (state[m] == 0) visit(m)
    if (faults) exit 1
  }
'
