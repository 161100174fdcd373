# The two set-up commands: `make demo` renders into out/, `make test` builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build demo test bench sanitize clean

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

clean:
	rm -rf build build-asan out
