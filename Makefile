# The two commands of the README, and a few more for developers.
.PHONY: deps build test demo bench windows windows-test

deps:
	@scripts/install-deps build

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# Every test: the unit tests and desktop scripts on the simulated desktop, then the Windows
# build's tests under Wine.
test: build windows
	@ctest --preset dev
	@scripts/wine-tests

demo: build
	@scripts/demo

bench: build
	@build/dev/bench/velmox_bench

# The Windows build: dist/Velmox and dist/VelmoxSetup.exe, cross-compiled with MinGW-w64.
windows:
	@scripts/install-deps build windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

# The Windows build's tests, under Wine on a virtual X server.
windows-test: windows
	@scripts/wine-tests
