# Korvane: `make run` builds and starts the window, `make test` builds and runs every test.
BUILD      ?= build
BUILD_SAN  ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build build-san run test test-release test-san bench clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# ASan + UBSan with clang, which also builds and runs the file-reader fuzzer.
build-san: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)

run: build
	./$(BUILD)/ui/korvane

test-release: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-san: build-san
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

test: test-release test-san

bench: build
	./$(BUILD)/bench/korvane-bench
	./$(BUILD)/bench/korvane-bench-set

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
