# The two commands of the README. Both install what is missing, then build.
# Each build is one of the configurations in CMakePresets.json; BUILD_DIR and
# CMAKE_FLAGS override the preset's folder and add to its settings.
PRESET ?= default
BUILD_DIR ?= build
CMAKE_FLAGS ?=

FUZZ_DIR ?= build-fuzz
FUZZ_RUNS ?= 2000000
SANITIZE_DIR ?= build-asan

.PHONY: all deps configure build run test bench package fuzz sanitize windows clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake --preset $(PRESET) -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

# Only what it runs: the dialog and the sample maps. Tests, fuzzers and
# benchmarks are built by the targets that run them.
run: configure
	cmake --build $(BUILD_DIR) --target drovana samples
	$(BUILD_DIR)/app/drovana $(BUILD_DIR)/samples/maps $(BUILD_DIR)/samples/peg

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The Debian package, in $(BUILD_DIR)/package.
package: build
	cmake --build $(BUILD_DIR) --target package

# As root, the page cache is emptied before each timed run, so that every
# contender starts on the same memory state (see bench/PageCacheSettler.h).
BENCH_FLAGS ?= $(if $(filter 0,$(shell id -u)),--drop-caches)

# The one-picture targets judge the converter's own work, so there every
# contender runs with its syncs removed; process_bench states what one map's
# syncs cost against the peer given the same syncs.
EATMYDATA ?= /usr/lib/x86_64-linux-gnu/libeatmydata.so

# The benchmarks are built only when asked for. Every benchmark runs; the
# exit status says whether any missed a target.
bench: PRESET = bench
bench: build
	@status=0; \
	LD_PRELOAD=$(EATMYDATA) $(BUILD_DIR)/bench/convert_bench $(BENCH_FLAGS) || status=1; \
	python3 bench/batch_bench.py $(BUILD_DIR) $(BENCH_FLAGS) || status=1; \
	python3 bench/process_bench.py $(BUILD_DIR) $(BENCH_FLAGS) || status=1; \
	python3 bench/many_maps_bench.py $(BUILD_DIR) || status=1; \
	exit $$status

# libFuzzer on the decoding core with a fixed seed; any finding fails.
fuzz: deps
	cmake --preset fuzz -B $(FUZZ_DIR) $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) --target convert_fuzz make-fuzz-seeds s16_fuzz make-s16-fuzz-seeds
	$(FUZZ_DIR)/fuzz/make-fuzz-seeds $(FUZZ_DIR)/seeds
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/fuzz/convert_fuzz -runs=$(FUZZ_RUNS) -seed=1 -dict=fuzz/shp.dict \
		-artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus $(FUZZ_DIR)/seeds fuzz/findings
	$(FUZZ_DIR)/fuzz/make-s16-fuzz-seeds $(FUZZ_DIR)/s16-seeds
	mkdir -p $(FUZZ_DIR)/s16-corpus
	$(FUZZ_DIR)/fuzz/s16_fuzz -runs=$(FUZZ_RUNS) -seed=1 \
		-artifact_prefix=$(FUZZ_DIR)/s16- $(FUZZ_DIR)/s16-corpus $(FUZZ_DIR)/s16-seeds

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test PRESET=sanitize BUILD_DIR=$(SANITIZE_DIR)

# drovana.exe and shp2s16.exe for 64-bit Windows, cross-built with mingw-w64,
# every Qt-free test program run under Wine, and the installer (.msi) and the
# .zip to download, in $(WIN_DIR)/package.
WIN_DIR ?= build-win
WINE_ENV := WINEDEBUG=-all WINEPREFIX=$(abspath $(WIN_DIR))/wine

windows: deps
	cmake --preset windows -B $(WIN_DIR) $(CMAKE_FLAGS)
	cmake --build $(WIN_DIR)
	cd $(WIN_DIR) && $(WINE_ENV) ctest --output-on-failure
	cmake --build $(WIN_DIR) --target package

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(SANITIZE_DIR) $(WIN_DIR)
