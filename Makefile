# make          build everything in build/
# make test     install what is missing, build, run every test
# make demo     run the first example (headless where no window system is present)
# make bench    build and run the benchmarks
# make asan     run the whole suite under AddressSanitizer and UBSan
# make fuzz     run each libFuzzer target over its corpus for a few seconds (clang)
BUILD ?= build
JOBS ?= 2

.PHONY: all build deps test demo bench asan fuzz clean

all: build

deps:
	@./tools/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

test: deps
	$(MAKE) build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The host and its libraries only; the tests are not needed to run a script.
demo: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target tessera
	$(BUILD)/tessera examples/01-hello.lua

bench: deps
	@./tools/install-deps bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	$(BUILD)/bench/benchmarks

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSERA_SANITIZE=ON
	cmake --build build-asan -j$(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j$(JOBS)

# The libFuzzer targets, each for a few seconds over its corpus (fuzz/).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSERA_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS) --target fuzz_smoke

clean:
	rm -rf $(BUILD) build-asan build-fuzz
