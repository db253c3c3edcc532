# The two commands every user needs: `make run` and `make test`.
BUILD   := build
SANBUILD := build-san
WINBUILD := build-win
WEBBUILD := build-web
RELBUILD := build-release
FUZZBUILD := build-fuzz
DIST    := dist
JOBS    := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test test-sanitizers test-cluster bench bench-capture capture clean \
        windows test-windows web serve-web test-web bench-web bench-flashes release test-release \
        fuzz

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./quorvane

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE cluster

# The capture on a one-node Slurm cluster that the test starts on 127.0.0.1 and
# stops again (as root: the daemons run as root).
test-cluster: build
	@bash scripts/install-deps.sh --cluster
	ctest --test-dir $(BUILD) --output-on-failure -L cluster

# The whole piece rendered headless to build/quorvane.mp4 (no display needed),
# replacing an earlier one; for instance CAPTURE_OPTIONS="--size 1280x720".
capture: build
	cd $(BUILD) && ./quorvane-capture --force $(CAPTURE_OPTIONS) quorvane.mp4

# The same suite with AddressSanitizer and UndefinedBehaviorSanitizer.
# intercept_tls_get_addr=0: the leak checker's guess at the dynamic TLS blocks
# of the GL driver's modules can name a range that is not mapped (once seen as
# a scan from 0x998), and its tracer then dies at exit with "Tracer caught
# signal 11". Those blocks stay reachable through glibc's own thread vectors.
test-sanitizers: deps
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON
	cmake --build $(SANBUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SANBUILD) --output-on-failure -j $(JOBS) -LE cluster

# Every fuzz target on libFuzzer (clang, address and undefined sanitizers),
# FUZZ_SECONDS each, one after another, then the page's URL parameter
# properties in Node, as long each; what reaches new code is merged into the
# corpora beside the tests, findings are kept in build-fuzz/fuzz-findings/.
# FUZZ_TARGETS="atlas mp3_probe" runs only those.
FUZZ_SECONDS := 60
fuzz: deps
	@bash scripts/install-deps.sh --fuzz
	@bash scripts/install-web-tests.sh
	CC=clang CXX=clang++ cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_FUZZ=ON
	cmake --build $(FUZZBUILD) --target quorvane-fuzz-targets -j $(JOBS)
	bash scripts/run_fuzz.sh $(FUZZBUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: build
	$(BUILD)/bench/quorvane-bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true

# --jobs 1 against --jobs 2, and PNG frames' write time early and late in a
# long range, beside those of BASELINE's capture tool when given (minutes;
# see bench/capture_bench.sh).
bench-capture: build
	bash bench/capture_bench.sh $(BUILD) $(BASELINE)

# The whole piece captured small and lossless (PNG frames at 192x108, about
# 700 MB while it runs), analysed for general and red flashes by the area
# method of WCAG 2.3.1 and ITU-R BT.1702 (bench/flash_analysis.py).
PYTHON := python3
bench-flashes: build
	rm -rf $(BUILD)/flash-frames
	cd $(BUILD) && ./quorvane-capture --quiet --size 192x108 flash-frames/
	$(PYTHON) bench/flash_analysis.py $(BUILD)/flash-frames; status=$$?; \
	  rm -rf $(BUILD)/flash-frames; exit $$status

# The Windows program and the browser's page, each on the icons, atlas and
# music of a Linux build ($(1): build/, or build-release/ for a release).
define windows-program
cmake --build $(1) --target quorvane-icons -j $(JOBS)
cmake -S . -B $(WINBUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUORVANE_ICON=$(CURDIR)/$(1)/icons/quorvane.ico
cmake --build $(WINBUILD) -j $(JOBS)
endef
# The files to publish are gathered into build-web/site/ from the one list of
# them, build-web/site-files.txt, which the web build writes.
define web-site
$(EMNODE) emcmake cmake -S . -B $(WEBBUILD) -DCMAKE_BUILD_TYPE=Release \
  -DQUORVANE_ASSETS=$(CURDIR)/$(1)
$(EMNODE) cmake --build $(WEBBUILD) -j $(JOBS)
rm -rf $(WEBBUILD)/site
mkdir $(WEBBUILD)/site
cd $(WEBBUILD) && xargs -a site-files.txt cp -t site/
endef

# The Windows program, cross-built with mingw-w64 and packed with the generated
# atlas and music from the Linux build.
windows: build
	@bash scripts/install-deps.sh --windows
	$(call windows-program,$(BUILD))
	rm -f $(WINBUILD)/quorvane-win64.zip
	zip -j -q $(WINBUILD)/quorvane-win64.zip $(WINBUILD)/quorvane.exe \
	  $(WINBUILD)/quorvane.scr $(WINBUILD)/quorvane-window.cmd $(WINBUILD)/README.txt \
	  $(BUILD)/TEX.tga $(BUILD)/RX_muc.mp3

# The Windows program under Wine on a private X server.
test-windows: windows
	bash tests/windows/smoke_test.sh $(BUILD) $(WINBUILD)

# The piece for a browser: build-web/site/ holds the files to publish (the
# page, the program and the generated atlas and music from the Linux build);
# any static web host can serve the folder. Debian's emcc finds acorn only
# through NODE_PATH.
EMNODE := NODE_PATH=/usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH))
web: build
	@bash scripts/install-deps.sh --web
	$(call web-site,$(BUILD))

# A local look at http://127.0.0.1:8000/, served from the folder to publish
# (Ctrl-C stops).
serve-web: web
	node scripts/serve_web.mjs $(WEBBUILD)/site 8000

# The browser build in headless Chromium against the native build.
test-web: web
	@bash scripts/install-web-tests.sh
	QUORVANE_BUILD=$(CURDIR)/$(BUILD) QUORVANE_WEB_BUILD=$(CURDIR)/$(WEBBUILD) bash tests/web/run.sh

# Frames per second of the page in headless Chromium beside the native
# program under Xvfb, at 1280x720 (several minutes; see bench/web_fps.mjs).
bench-web: web
	@bash scripts/install-web-tests.sh
	QUORVANE_BUILD=$(CURDIR)/$(BUILD) QUORVANE_WEB_BUILD=$(CURDIR)/$(WEBBUILD) node bench/web_fps.mjs

# Every download, into dist/: the Debian package (amd64, and arm64
# cross-built) and its source package, the Windows zip, the web zip, the
# source tarball, a bill of materials for each, SHA256SUMS, and with
# MINISIGN_KEY=FILE (a minisign secret key, kept out of the tree) its
# signature; the same bytes from any clone on any day (dated by the last
# commit, or by SOURCE_DATE_EPOCH in an unpacked tarball). The Linux
# side is the Debian package's build, in build-release/quorvane-VERSION/;
# the arm64 one's is in build-release/arm64/quorvane-VERSION/.
RELOBJ = $(RELBUILD)/quorvane-$(shell bash scripts/version.sh)/obj-$(shell dpkg-architecture -qDEB_HOST_GNU_TYPE)
RELOBJ_ARM64 = $(RELBUILD)/arm64/quorvane-$(shell bash scripts/version.sh)/obj-aarch64-linux-gnu
release: export SOURCE_DATE_EPOCH = $(shell bash scripts/source_date_epoch.sh)
release:
	@bash scripts/install-deps.sh --windows --web --release
	@test -n "$$SOURCE_DATE_EPOCH" || { bash scripts/source_date_epoch.sh; exit 1; }
	JOBS=$(JOBS) bash scripts/build_deb.sh $(RELBUILD)
	JOBS=$(JOBS) bash scripts/build_deb.sh $(RELBUILD) arm64
	$(call windows-program,$(RELOBJ))
	$(call web-site,$(RELOBJ))
	bash scripts/pack_release.sh $(RELBUILD) $(WINBUILD) $(WEBBUILD) $(DIST) $(MINISIGN_KEY)

# The downloads checked: lintian, the desktop entry, the AppStream data, an
# install into a fresh Debian 12 root, the arm64 programs under qemu-user
# against the amd64 ones, and a second release from a clone elsewhere,
# compared byte for byte.
test-release: release
	bash tests/release/run.sh $(DIST) $(RELOBJ) $(RELOBJ_ARM64)

clean:
	rm -rf $(BUILD) $(SANBUILD) $(WINBUILD) $(WEBBUILD) $(RELBUILD) $(FUZZBUILD) $(DIST)
