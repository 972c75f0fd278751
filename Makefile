# The two commands of the README, and a few more for developers.
.PHONY: deps build asan test demo bench compare fuzz soak windows windows-test

# How long `make fuzz` runs each fuzz target, and how many events `make soak` plays.
FUZZ_SECONDS ?= 60
SOAK_EVENTS ?= 1000000
SOAK_SEED ?= 1

deps:
	@scripts/install-deps build fuzz chromium

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# Everything again with AddressSanitizer and UBSan, and the fuzz targets (build/asan).
asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

# Every test: the unit tests and desktop scripts in both builds (the sanitizer build adds a
# short run of every fuzz target and a short soak), then the Windows build's tests under Wine.
# The benchmarks are not built for it (`make bench` does).
test: deps asan windows
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target velmox velmox_tests velmox_soak
	@ctest --preset dev
	@ctest --preset asan
	@scripts/wine-tests

demo: build
	@scripts/demo

bench: build
	@build/dev/bench/velmox_bench
	@build/dev/bench/velmox_chromium_bench

# Every pop-up technique of tests/techniques in stock Chromium and in Velmox: docs/comparison.md.
compare: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target velmox
	@scripts/compare build/dev/velmox

fuzz: asan
	@for target in build/asan/fuzz/fuzz_*; do \
	  scripts/run-fuzz $$target fuzz/corpus/$${target##*/fuzz_} $(FUZZ_SECONDS) || exit 1; \
	done

soak: build
	@build/dev/soak/velmox_soak --events $(SOAK_EVENTS) --seed $(SOAK_SEED)
	@build/dev/soak/velmox_soak --events $(SOAK_EVENTS) --seed $(SOAK_SEED) --faults

# The Windows build: dist/Velmox and dist/VelmoxSetup.exe, cross-compiled with MinGW-w64.
windows:
	@scripts/install-deps build windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

# The Windows build's tests, under Wine on a virtual X server.
windows-test: windows
	@scripts/wine-tests
