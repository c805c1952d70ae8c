# Entry points for people and CI. Every target installs what it needs first.
.PHONY: all deps build check check-asan format format-check bench cross-deps check-cross \
	check-win32 check-win64 check-linux32 check-browser

DEB_PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev clang-format \
	libcli11-dev nlohmann-json3-dev libsqlite3-dev libplplot-dev plplot-driver-cairo libxml2-dev

all: build

# $(call install-missing,packages): apt-get install those not installed yet.
define install-missing
@missing=""; \
	for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	    echo "installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install-missing,$(DEB_PACKAGES))

build: deps
	cmake --preset default
	cmake --build --preset default

check: build
	ctest --preset default

# Both HTML reports (xrayutils report on the bundled samples, the QC report page of a simulated
# history) rendered by headless Chromium to PNG, DOM and an A4 print, and checked: not blank,
# the expected headings, no script, A4 pages (tests/browser/check-pages.sh).
BROWSER_PACKAGES := chromium python3

check-browser: build
	$(call install-missing,$(BROWSER_PACKAGES))
	tests/browser/check-pages.sh

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

# Cross legs (toolchain files in cmake/), one after the other: win32 builds the DLL users
# install and checks its export and import tables; win64 runs every test under wine64;
# linux32 runs every test as a 32-bit program under qemu-i386. Each prints its wall time.
CROSS_PACKAGES := g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 qemu-user g++-multilib googletest
CROSS_LEGS := win32 win64 linux32

cross-deps: deps
	$(call install-missing,$(CROSS_PACKAGES))

check-cross: cross-deps
	@for leg in $(CROSS_LEGS); do $(MAKE) --no-print-directory check-$$leg || exit 1; done

$(addprefix check-,$(CROSS_LEGS)): check-%: cross-deps
	@start=$$(date +%s); \
	cmake --preset $* && cmake --build --preset $* && ctest --preset $*; status=$$?; \
	echo "$* leg: $$(( $$(date +%s) - start )) s wall time"; exit $$status

# The main job: the full NiOx report of the bundled sample spectrum.
.PHONY: demo
demo: deps
	cmake --preset default
	cmake --build --preset default --target xrayutils
	@echo
	build/default/bin/xrayutils niox examples/NiOx-sample.msa --all --thickness 50

# Fuzzing (clang only): `make fuzz` builds the libFuzzer targets of tests/fuzz; `make
# check-fuzz` runs each for FUZZ_SECONDS on a scratch copy of its initial corpus (new
# inputs stay in build/fuzz/corpus, the committed corpus stays small) and prints its runs
# and coverage.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev
FUZZ_TARGETS := fuzz_emsa_reader fuzz_import fuzz_filter_kernels fuzz_niox
FUZZ_SECONDS ?= 60
.PHONY: fuzz-deps fuzz check-fuzz $(addprefix run-,$(FUZZ_TARGETS))

fuzz-deps: deps
	$(call install-missing,$(FUZZ_PACKAGES))

fuzz: fuzz-deps
	cmake --preset fuzz
	cmake --build --preset fuzz

check-fuzz: fuzz
	@for t in $(FUZZ_TARGETS); do $(MAKE) --no-print-directory run-$$t || exit 1; done

$(addprefix run-,$(FUZZ_TARGETS)): run-%:
	@mkdir -p build/fuzz/corpus/$*
	@echo "$*: $(FUZZ_SECONDS) s"; \
	build/fuzz/fuzz/$* -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=build/fuzz/$*- \
	    build/fuzz/corpus/$* tests/fuzz/corpus/$* > build/fuzz/$*.log 2>&1; status=$$?; \
	grep -E '^#[0-9]+[[:space:]]+DONE|^Done|^stat::(number_of_executed_units|peak_rss_mb)' build/fuzz/$*.log; \
	if [ $$status -ne 0 ]; then tail -60 build/fuzz/$*.log; fi; exit $$status

# One whole module life (load, start, every script function, shut down, unload) under
# valgrind's memcheck: any memory error or leak fails.
.PHONY: memcheck
memcheck: build
	$(call install-missing,valgrind)
	valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
	    --show-leak-kinds=definite,indirect,possible -q \
	    build/default/bin/module_life build/default/bin/libZorXrayUtils.so examples
