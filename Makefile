# The two commands every user needs: `make run` and `make test`.
BUILD   := build
SANBUILD := build-san
WINBUILD := build-win
JOBS    := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test test-sanitizers bench capture clean windows test-windows

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./quorvane

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole piece rendered headless to build/quorvane.mp4 (no display needed),
# replacing an earlier one; for instance CAPTURE_OPTIONS="--size 1280x720".
capture: build
	cd $(BUILD) && ./quorvane-capture --force $(CAPTURE_OPTIONS) quorvane.mp4

# The same suite with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitizers: deps
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON
	cmake --build $(SANBUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SANBUILD) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/quorvane-bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true

# The Windows program, cross-built with mingw-w64 and packed with the generated
# atlas and music from the Linux build.
windows: build
	@bash scripts/install-deps.sh --windows
	cmake -S . -B $(WINBUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINBUILD) -j $(JOBS)
	rm -f $(WINBUILD)/quorvane-win64.zip
	zip -j -q $(WINBUILD)/quorvane-win64.zip $(WINBUILD)/quorvane.exe \
	  $(BUILD)/TEX.tga $(BUILD)/RX_muc.mp3

# The Windows program under Wine on a private X server.
test-windows: windows
	bash tests/windows/smoke_test.sh $(BUILD) $(WINBUILD)

clean:
	rm -rf $(BUILD) $(SANBUILD) $(WINBUILD)
