# The two everyday commands: `make run` and `make test`. Each installs what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

# `make fuzz` builds the fuzz targets with clang in a folder of their own and runs each for
# FUZZ_SECONDS on its seed corpus; FUZZ_TARGETS picks some of them.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= qms_reader gls_reader level_file players_file kinds_file picture

.PHONY: all deps configure build run test bench fuzz format clean

all: build

deps:
	@bash scripts/install_deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	cd $(BUILD_DIR)/bin && ./quillmark

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) --target quillmark_bench -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/quillmark_bench

fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++-14 -DQUILLMARK_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@bash fuzz/run_fuzzers.sh $(FUZZ_DIR)/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)
