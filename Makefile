# Set-up, build, tests and programs. `make test` and `make run` install what
# is missing on a fresh Debian 12 machine first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
# Seconds per fuzz target: `make fuzz FUZZ_SECONDS=N` runs longer; `make
# test` keeps its own fixed time so that the whole run stays short.
FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS = 20

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_FLAGS  = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DCMAKE_CXX_COMPILER=clang++ \
              -DPQ_SANITIZE=ON -DPQ_FUZZ=ON -DPQ_BENCH=OFF

.PHONY: all deps build test unit-test install-test package sanitize-build sanitize-test fuzz bench run run-calculator demo clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Every test: the suite, the installed layout and the Debian package, the
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then
# each fuzz target for a fixed time.
test: unit-test install-test sanitize-test
	@scripts/run-fuzzers $(ASAN_BUILD) $(TEST_FUZZ_SECONDS)

unit-test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Installs into a temporary folder and checks the result; as root, also
# installs the package with apt, starts the programs and removes it again.
install-test: build
	@scripts/test-install $(BUILD)

# The Debian package, $(BUILD)/pqsuite_VERSION_ARCH.deb.
package: build
	cd $(BUILD) && cpack -G DEB

sanitize-build: deps
	@cmake -S . -B $(ASAN_BUILD) $(ASAN_FLAGS) > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

sanitize-test: sanitize-build
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: sanitize-build
	@scripts/run-fuzzers $(ASAN_BUILD) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done
	@echo "== bench/gui_start"; bench/gui_start $(BUILD) 40
	@echo "== bench/find_timing"; bench/find_timing $(BUILD) 200

# The converter with the shipped data files beside it; the calculator.
run: build
	$(BUILD)/bin/PqConverter

run-calculator: build
	$(BUILD)/bin/PqCalculator

# A short demonstration of pqtool, the command-line front end.
demo: build
	@scripts/demo $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
