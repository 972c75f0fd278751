# The two commands of the README, and a few more for developers.
.PHONY: deps build test demo bench

deps:
	@scripts/install-deps build

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

test: build
	@ctest --preset dev

demo: build
	@scripts/demo

bench: build
	@build/dev/bench/velmox_bench
