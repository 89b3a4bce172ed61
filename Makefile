# Set-up, build and test in one place. `make run` and `make test` work on a
# fresh Debian machine: each installs what is missing first.
.PHONY: all deps build build-asan run test bench screenshots fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

build-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

run: build
	./build/tvkwizard demo demo

test: build build-asan
	ctest --preset default
	ctest --preset asan
	@command -v wine >/dev/null || echo "make test: ASP page tests (asp_pages) skipped: Wine is not installed; scripts/install-wine installs it"

bench: build
	@for b in build/bench_*; do echo "== $$b"; $$b; done
	@if command -v node >/dev/null && [ -x /usr/bin/chromium ]; then echo "== bench/window"; node bench/window/run.mjs; \
	else echo "make bench: bench/window skipped: it needs node and /usr/bin/chromium"; fi

# The generated pages of the sample project in each style, into docs/screenshots.
screenshots: build
	tests/asp/screenshots.py

# libFuzzer targets (clang), 60 s each; not part of `make test`. Inputs
# that once failed are replayed by ctest from fuzz/regressions.
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@fuzz/run

clean:
	rm -rf build build-asan build-fuzz
