# Skyvigil: `make demo` to try it, `make test` to build and test everything.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all deps build test test-default test-asan test-windows format format-check bench demo run cues clean deb dist

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

test: deps format-check
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j $(JOBS)
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory fuzz-ci

# The Windows cross build of the core and its tests, run under wine. One wine
# server serves the whole run and is ended with every program it still runs,
# whatever the outcome.
WINE_RUN = scripts/wine-run.sh --root build/windows

test-windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	trap '$(WINE_RUN) --stop-server' EXIT; \
	  $(WINE_RUN) --start-server && ctest --preset windows -j $(JOBS)

FORMAT_FILES = $(shell git ls-files -co --exclude-standard -- '*.cpp' '*.h' | while read f; do [ -f "$$f" ] && echo "$$f"; done)

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "clang-format: clean"

bench: deps
	cmake --preset default -DSKYVIGIL_BUILD_BENCH=ON >/dev/null
	cmake --build --preset default -j $(JOBS)
	bash bench/run.sh build/default
	bash bench/idle_cpu.sh build/default
	bash bench/desktop_bench.sh build/default
	bash bench/memory_bench.sh build/default
	bash bench/orca_keys_bench.sh build/default

# The Debian package, into dist/: skyvigil_<version>_<arch>.deb.
deb: build
	cpack -G DEB --config build/default/CPackConfig.cmake -B dist >/dev/null
	rm -rf dist/_CPack_Packages
	@ls dist/*.deb

# The Windows program, cross-built, into dist/: Skyvigil-<version>-win64.zip
# (portable, and the update archive), its signature .minisig and
# Skyvigil-<version>-setup.exe.
# Signed for updates with the minisign secret key SKYVIGIL_SIGNING_KEY names;
# built without the tests' throw-away key.
dist: deps
	@test -n "$$SKYVIGIL_SIGNING_KEY" || { echo "make dist: set SKYVIGIL_SIGNING_KEY to the release key (README.md)"; exit 2; }
	cmake --preset windows -DSKYVIGIL_TEST_UPDATE_KEY=OFF >/dev/null
	cmake --build --preset windows -j $(JOBS) --target dist
	@ls dist/Skyvigil-*

# A fresh demo/ against the local weather service; `make run DIR=<folder>`
# starts the program in a folder of your own.
demo:
	bash scripts/demo.sh demo

run:
	bash scripts/demo.sh run "$(DIR)"

# libFuzzer runs over the readers of outside data, built with clang in build/fuzz:
# `make fuzz FUZZ_SECONDS=600` runs each target that long (60 s unless told);
# fuzz-ci is the one-minute run that `make test` ends with.
FUZZ_SECONDS ?= 60

.PHONY: fuzz fuzz-ci fuzz-run

fuzz: deps
	$(MAKE) --no-print-directory fuzz-run

fuzz-ci:
	$(MAKE) --no-print-directory fuzz-run FUZZ_SECONDS=60

fuzz-run:
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSKYVIGIL_BUILD_GUI=OFF \
	  -DSKYVIGIL_FUZZ=ON -DSKYVIGIL_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	cmake --build build/fuzz -j $(JOBS) --target fuzz_targets
	ctest --test-dir build/fuzz -L fuzz --output-on-failure

clean:
	rm -rf build
