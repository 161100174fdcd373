# The two set-up commands: `make demo` renders into out/, `make test` builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build demo test bench sanitize fuzz clean

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@$(BUILD)/tools/olm_demo out

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bench/olm_bench --benchmark_min_time=0.2

sanitize:
	@$(MAKE) --no-print-directory test BUILD=build-asan \
	    CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DOLM_SANITIZE=ON -DOLM_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)"

# Random sequences of gestures and settings on a calendar, under the sanitizers, for SECONDS
# (one core); a failure prints its seed and a shortened sequence. SEED=n replays one seed.
SECONDS ?= 60
SEED ?=
fuzz:
	@$(MAKE) --no-print-directory configure BUILD=build-asan \
	    CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DOLM_SANITIZE=ON -DOLM_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)"
	@cmake --build build-asan -j $(JOBS) --target test_olmcalendar
	@OLM_FUZZ_SECONDS=$(SECONDS) OLM_FUZZ_SEED=$(SEED) \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0 \
	    build-asan/tests/test_olmcalendar --gtest_also_run_disabled_tests \
	    --gtest_filter=CalendarFuzz.DISABLED_TimedRun

clean:
	rm -rf build build-asan out
