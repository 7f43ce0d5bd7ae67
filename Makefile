# The two commands a fresh machine needs: `make run` and `make test`.
.PHONY: all deps build run test test-debug test-asan format format-check clean

JOBS ?= $(shell nproc)

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)

run: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	scripts/run-demo build/release

test: test-debug test-asan

test-debug: build
	ctest --preset debug

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
