# Korvane: `make run` builds and starts the window, `make test` builds and runs every test.
# The builds are the presets of CMakePresets.json: `release` in build/, `asan` in build-asan/.
BUILD      := build
BUILD_SAN  := build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build build-san run test test-release test-san test-package bench package screenshot clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

# ASan + UBSan with clang, which also builds and runs the file-reader fuzzer.
build-san: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

run: build
	./$(BUILD)/ui/korvane

test-release: build
	ctest --preset release -j $(JOBS)

test-san: build-san
	ctest --preset asan -j $(JOBS)

# The Debian package made from the release build, checked as a user's machine would meet it.
test-package: build
	bash tools/check-package.sh $(BUILD)

test: test-release test-san test-package

bench: build
	./$(BUILD)/bench/korvane-bench
	./$(BUILD)/bench/korvane-bench-set
	./$(BUILD)/bench/korvane-bench-maker

# korvane_<version>_amd64.deb, here: install it with `sudo apt-get install ./korvane_*.deb`.
package: build
	cmake --build $(BUILD) --target package
	cp $(BUILD)/korvane_*_amd64.deb .

# The README's picture of the window, taken on a private X display.
screenshot: build
	bash tools/screenshot.sh $(BUILD) docs/korvane-window.png

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
