# Skyvigil: `make demo` to try it, `make test` to build and test everything.
# The presets in CMakePresets.json do the configuring; this file only runs them.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all deps test-deps build test test-windows format format-check \
        bench demo run clean deb dist fuzz fuzz-ci

all: build

# What building and running need; test-deps adds what testing and the
# Windows build need (scripts/install-deps.sh).
deps:
	bash scripts/install-deps.sh

test-deps:
	bash scripts/install-deps.sh --test

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

test: test-deps format-check
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
# whatever the outcome. Under load wine now and then ends a test program before
# it prints a line, so the windows test preset runs a failed test once more; a
# test that fails twice fails the run.
WINE_RUN = scripts/wine-run.sh --root build/windows

test-windows: test-deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	trap '$(WINE_RUN) --stop-server' EXIT; \
	  $(WINE_RUN) --start-server && ctest --preset windows -j $(JOBS)

FORMAT_FILES = $(shell git ls-files -co --exclude-standard -- '*.cpp' '*.h' | while read f; do [ -f "$$f" ] && echo "$$f"; done)

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "clang-format: clean"

bench: test-deps
	cmake --preset default -DSKYVIGIL_BUILD_BENCH=ON >/dev/null
	cmake --build --preset default -j $(JOBS)
	bash bench/run.sh build/default
	bash bench/idle_cpu.sh build/default
	bash bench/desktop_bench.sh build/default
	bash bench/memory_bench.sh build/default
	bash bench/orca_keys_bench.sh build/default

# The Debian package, into dist/: skyvigil_<version>_<arch>.deb.
deb: build
	cpack --config build/default/CPackConfig.cmake -B dist >/dev/null
	rm -rf dist/_CPack_Packages
	@ls dist/*.deb

# The Windows program, cross-built without the tests' throw-away update key,
# into dist/: Skyvigil-<version>-win64.zip (portable, and the update archive)
# and Skyvigil-<version>-setup.exe. A release signs the zip for updates
# (<zip>.minisig) with the minisign secret key SKYVIGIL_SIGNING_KEY names;
# without it the packages are unsigned, for local use only, and cpack says so.
dist: test-deps
	cmake --preset windows-release >/dev/null
	cmake --build --preset windows-release -j $(JOBS)
	cpack --config build/windows-release/CPackConfig.cmake -B dist
	rm -rf dist/_CPack_Packages
	@ls dist/Skyvigil-*

# A fresh demo/ against the local weather service; `make run DIR=<folder>`
# starts the program in a folder of your own.
demo:
	bash scripts/demo.sh demo

run:
	bash scripts/demo.sh run "$(DIR)"

# libFuzzer runs over the readers of outside data, the fuzz preset in
# build/fuzz: `make fuzz FUZZ_SECONDS=600` runs each target that long (60 s
# unless told); fuzz-ci is the one-minute run that `make test` ends with.
FUZZ_SECONDS ?= 60

fuzz: test-deps
	cmake --preset fuzz -DSKYVIGIL_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz

fuzz-ci:
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=60

clean:
	rm -rf build
