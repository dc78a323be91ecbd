# The two commands of the README. Both install what is missing, then build.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
SAMPLE_DIR := $(BUILD_DIR)/sample

.PHONY: all deps configure build run test bench clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

run: build
	@mkdir -p $(SAMPLE_DIR)
	$(BUILD_DIR)/tests/support/make-sample-shp $(SAMPLE_DIR)/SAMPLE.SHP
	$(BUILD_DIR)/cli/shp2s16 $(SAMPLE_DIR)/SAMPLE.SHP $(SAMPLE_DIR)/SAMPLE.s16
	@echo "Converted $(SAMPLE_DIR)/SAMPLE.SHP into $(SAMPLE_DIR)/SAMPLE.s16"

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: build
	$(BUILD_DIR)/bench/convert_bench

clean:
	rm -rf $(BUILD_DIR)
