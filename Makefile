# Skyvigil: `make demo` to try it, `make test` to build and test everything.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all deps build test test-default test-asan format format-check bench demo run cues clean

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

FORMAT_FILES = $(shell git ls-files -co --exclude-standard -- '*.cpp' '*.h' | while read f; do [ -f "$$f" ] && echo "$$f"; done)

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "clang-format: clean"

bench: deps
	cmake --preset default -DSKYVIGIL_BUILD_BENCH=ON >/dev/null
	cmake --build --preset default -j $(JOBS)
	bash bench/run.sh build/default

clean:
	rm -rf build
