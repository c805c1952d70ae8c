# Entry points for people and CI. Every target installs what it needs first.
.PHONY: all deps build check check-asan format format-check bench

DEB_PACKAGES := cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang-format

all: build

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	    echo "installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake --preset default
	cmake --build --preset default

check: build
	ctest --preset default

check-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: build
	@for b in build/default/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

FORMAT_FILES = $(shell git ls-files '*.h' '*.cpp')

format: deps
	clang-format -i $(FORMAT_FILES)

format-check: deps
	clang-format --dry-run -Werror $(FORMAT_FILES)

# The main job: the full NiOx report of the bundled sample spectrum.
.PHONY: demo
demo: deps
	cmake --preset default
	cmake --build --preset default --target xrayutils
	@echo
	build/default/bin/xrayutils niox examples/NiOx-sample.msa --all --thickness 50
