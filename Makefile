# The two commands every user needs: `make run` and `make test`.
BUILD   := build
SANBUILD := build-san
JOBS    := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test test-sanitizers bench clean

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

clean:
	rm -rf $(BUILD) $(SANBUILD)
