# The two everyday commands: `make run` and `make test`. Each installs what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

# `make sanitize` builds and runs the tests with the address and undefined-behaviour sanitizers
# in a folder of its own; any report fails the run.
SANITIZE_DIR ?= build-sanitize

# `make fuzz` builds the fuzz targets with clang in a folder of their own and runs each for
# FUZZ_SECONDS on its seed corpus; FUZZ_TARGETS picks some of them.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= qms_reader gls_reader level_file players_file kinds_file picture

.PHONY: all deps configure build run test package bench start-timing sanitize fuzz format format-check clean

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

# The Debian package quillmark_<version>_amd64.deb in the build folder.
package: build
	cmake --build $(BUILD_DIR) --target package -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) --target quillmark_bench -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/quillmark_bench

# The real program's start until its map shows, under Xvfb, with large maps in each format.
start-timing: build
	cmake --build $(BUILD_DIR) --target quillmark_start_timing -j $(JOBS)
	$(BUILD_DIR)/bench/quillmark_start_timing $(BUILD_DIR)/bin

sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DQUILLMARK_SANITIZE=ON \
		-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan_suppressions.txt \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)
	@! grep -E 'runtime error:|ERROR: (Address|Leak)Sanitizer' $(SANITIZE_DIR)/Testing/Temporary/LastTest.log

fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++-14 -DQUILLMARK_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@bash fuzz/run_fuzzers.sh $(FUZZ_DIR)/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
