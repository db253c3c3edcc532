#!/usr/bin/env python3
"""Lists the code of other projects inside one download, as tab-separated
lines: Debian package, its version, its source package, the licence (SPDX),
and what of it is inside.

Found from what the build used, not from a list kept by hand: the headers
each shipped program's objects were compiled from (the compiler's .o.d files
of the program and of every library on its link line), the archives and
objects its link map names, the libraries it loads (NEEDED: those are
dependencies, not contents), and the data files given. Each file is traced
to its Debian package with dpkg -S. A source package without a licence
below stops the release: its notice has to be added first.

  release_components.py BUILD --programs NAME... [--map FILE] [--data FILE...]
                        [--multiarch TRIPLET]
"""
import argparse
import os
import re
import shlex
import subprocess
import sys
from pathlib import Path

# By source package. The texts themselves travel in each package's
# /usr/share/doc/PACKAGE/copyright, which the notices carry.
LICENCES = {
    "cli11": "BSD-3-Clause",
    "nlohmann-json3": "MIT",
    "gcc-12": "GPL-3.0-or-later WITH GCC-exception-3.1",
    "gcc-mingw-w64": "GPL-3.0-or-later WITH GCC-exception-3.1",
    "mingw-w64": "ZPL-2.1 AND MIT AND BSD-3-Clause",
    "glibc": "LGPL-2.1-or-later",
    "linux": "GPL-2.0-only WITH Linux-syscall-note",
    "fonts-dejavu": "Bitstream-Vera",
    "xorgproto": "MIT",
    "llvm-toolchain-14": "Apache-2.0 WITH LLVM-exception",
}


def origin(package, src):
    """The source package that Debian's cross toolchain packages (libstdc++,
    glibc's and Linux's headers for another architecture) are built from, for
    their licence and for telling run-time libraries' headers apart."""
    if src == "cross-toolchain-base":
        return "glibc" if package.startswith("libc6") else "linux"
    return src[:-len("-cross")] if src.endswith("-cross") else src


# Emscripten builds its system libraries from its own sources into a cache
# that no package owns; each is named by its archive.
EMSCRIPTEN_PARTS = [
    (r"libc(-\w+)*\.a$", "musl libc as adapted by Emscripten", "MIT"),
    (r"libc\+\+abi(-\w+)*\.a$", "libc++abi", "Apache-2.0 WITH LLVM-exception"),
    (r"libc\+\+(-\w+)*\.a$", "libc++", "Apache-2.0 WITH LLVM-exception"),
    (r"libcompiler_rt(-\w+)*\.a$", "compiler-rt", "Apache-2.0 WITH LLVM-exception"),
    (r"libdlmalloc(-\w+)*\.a$", "dlmalloc", "CC0-1.0"),
    (r"(lib\w+(-\w+)*\.a|crt\w*\.o)$", "Emscripten runtime", "MIT OR NCSA"),
]
EMSCRIPTEN_CACHE = "/usr/share/emscripten/cache/"


def fail(message):
    sys.exit(f"release: {message}")


def link_inputs(target_dir):
    """The relative objects and archives on a target's link line, absolute."""
    link = target_dir / "link.txt"
    if not link.is_file():
        fail(f"no {link}: the build folder lacks the program")
    tokens = []
    base = target_dir.parent.parent
    for token in shlex.split(link.read_text()):
        if token.startswith("@"):
            tokens += shlex.split((base / token[1:]).read_text())
        else:
            tokens.append(token)
    return [(base / t).resolve() for t in tokens if not t.startswith("-")
            and re.search(r"\.(o|obj|a)$", t) and not os.path.isabs(t)]


def depfiles(build, programs):
    found = set()
    for program in programs:
        dirs = list(build.rglob(f"CMakeFiles/{program}.dir"))
        if not dirs:
            fail(f"no target {program} in {build}")
        found |= set(dirs[0].rglob("*.d"))
        for item in link_inputs(dirs[0]):
            if item.suffix in (".o", ".obj"):
                found.add(Path(str(item) + ".d"))
            else:
                name = item.name[3:-2]  # libNAME.a
                found |= set(item.parent.glob(f"CMakeFiles/{name}.dir/**/*.d"))
    return found


def headers(build, programs, inside):
    paths = set()
    for dep in depfiles(build, programs):
        text = dep.read_text().replace("\\\n", " ")
        for token in text.split()[1:]:
            if os.path.isabs(token) and not any(token.startswith(p) for p in inside):
                paths.add(os.path.realpath(token))
    return paths


def map_inputs(map_file):
    """Archives with a member linked in, and objects loaded, from a GNU ld or
    wasm-ld map."""
    text = Path(map_file).read_text(errors="replace")
    paths = set(re.findall(r"^(/[^\s(]+\.a)\(", text, re.M))  # GNU ld
    paths |= set(re.findall(r"^LOAD (/\S+\.o)$", text, re.M))
    paths |= set(re.findall(r"\s(/\S+\.(?:a|o))(?:\(|:)", text))  # wasm-ld
    return {os.path.realpath(p) for p in paths}


def owners(paths):
    """Debian package of each path, from dpkg's file lists (dpkg -S, at
    once), with its architecture where several are installed (NAME:ARCH);
    with merged /usr, /lib may be the name a package gives."""
    wanted = {}
    for path in paths:
        wanted[path] = path
        if path.startswith(("/usr/lib/", "/usr/include/", "/usr/bin/")):
            wanted.setdefault(path[4:], path)
    result = {}
    for listing in Path("/var/lib/dpkg/info").glob("*.list"):
        package = listing.name[:-5]
        for line in listing.read_text(errors="replace").splitlines():
            if line in wanted:
                result.setdefault(wanted[line], package)
    return result


def package_fields(package):
    out = subprocess.run(["dpkg-query", "-W", "-f=${Version}\t${source:Package}\n", package],
                         capture_output=True, text=True, check=True)
    # A package installed for two architectures answers once for each.
    return out.stdout.splitlines()[0].split("\t")


def needed_sources(build, programs, triplet):
    """Source packages of the shared libraries the programs load, looked up in
    the multiarch folders of the programs' own architecture."""
    libs = set()
    for program in programs:
        dump = subprocess.run(["readelf", "-d", str(build / program)], capture_output=True,
                              text=True, check=True)
        for lib in re.findall(r"\(NEEDED\)\s+Shared library: \[(\S+)\]", dump.stdout):
            for folder in (f"/usr/lib/{triplet}", f"/lib/{triplet}"):
                if os.path.exists(f"{folder}/{lib}"):
                    libs.add(os.path.realpath(f"{folder}/{lib}"))
                    break
            else:
                fail(f"{program} loads {lib}, which is not in /usr/lib/{triplet}")
    return {package_fields(pkg)[1] for pkg in set(owners(libs).values())}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", type=Path)
    parser.add_argument("--programs", nargs="+", required=True)
    parser.add_argument("--map")
    parser.add_argument("--data", nargs="*", default=[])
    parser.add_argument("--multiarch", help="the programs' multiarch triplet: ELF programs for Linux")
    args = parser.parse_args()
    build = args.build.resolve()
    cache = (build / "CMakeCache.txt").read_text()
    source = re.search(r"^CMAKE_HOME_DIRECTORY:INTERNAL=(.*)$", cache, re.M).group(1)
    inside = [str(build) + "/", os.path.realpath(source) + "/"]

    files = headers(build, args.programs, inside)
    linked = map_inputs(args.map) if args.map else set()
    rows = {}
    for path in sorted(linked):
        if path.startswith(EMSCRIPTEN_CACHE) or path.startswith(os.path.realpath(EMSCRIPTEN_CACHE)):
            version = package_fields("emscripten")[0]
            for pattern, name, licence in EMSCRIPTEN_PARTS:
                if re.search(pattern, os.path.basename(path)):
                    rows.setdefault(name, ["emscripten", version, "emscripten", licence, set()])
                    rows[name][4].add(os.path.basename(path))
                    break
            else:
                fail(f"no licence known for {path}")
        else:
            files.add(path)
    owned = owners(files | {os.path.realpath(d) for d in args.data})
    unowned = sorted(p for p in files if p not in owned and not p.startswith("/usr/share/emscripten/"))
    if unowned:
        fail(f"no Debian package owns {', '.join(unowned[:5])}")
    # Headers of the libraries a Linux program loads are not inside it.
    dynamic = needed_sources(build, args.programs, args.multiarch) if args.multiarch else set()
    for path, package in owned.items():
        version, src = package_fields(package)
        if src == "emscripten":
            continue
        what = "data" if path in {os.path.realpath(d) for d in args.data} else \
            "linked" if path in linked else "headers"
        # Headers of a library that is loaded at run time: a dependency.
        if what == "headers" and origin(package, src) in dynamic:
            continue
        if origin(package, src) not in LICENCES:
            fail(f"no licence known for {package} (source package {src}), used by {path}")
        name = package.split(":")[0]
        row = rows.setdefault(name, [name, version, src, LICENCES[origin(package, src)], set()])
        row[4].add(what)
    for name, (package, version, src, licence, what) in sorted(rows.items()):
        print("\t".join([name, package, version, src, licence, ",".join(sorted(what))]))


if __name__ == "__main__":
    main()
