# Skyrelay: `make run` starts the program on the bundled ACU simulator, `make test` runs
# every test. Each target first installs what it needs and is missing (scripts/install-deps.sh
# names the groups): `make run` only what building and running need, `make test` the test
# tools too, the package targets the package tools.

BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
TSAN_DIR    ?= build-tsan
CLANG_DIR   ?= build-clang
RELEASE_DIR ?= build-release
PACKAGE_DIR ?= build-package
FUZZ_DIR    ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc)
# Tests at once: most of them wait on a simulated unit, a serial server or the clock far longer
# than they compute, so ctest runs more of them than there are cores.
TEST_JOBS   ?= 8

# Our builds hold our code to its warnings; a plain `cmake` (a user's, a packager's) does not.
# They link with lld, which links a test program in a quarter of the time GNU ld takes.
LINK_FLAGS := -fuse-ld=lld
CMAKE_CONFIG := -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
DEBUG_CONFIG := $(CMAKE_CONFIG) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXE_LINKER_FLAGS="$(LINK_FLAGS)"
SANITIZER_CONFIG := $(DEBUG_CONFIG) -DCMAKE_CXX_COMPILER=clang++ -DSKYRELAY_CORE_ONLY=ON

# Debian's hardening for the optimised builds: fortified libc calls, stack protector, full
# RELRO with immediate binding.
HARDENING_CXXFLAGS := -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection \
	-fcf-protection
HARDENING_LDFLAGS := -Wl,-z,relro -Wl,-z,now
RELEASE_CONFIG := $(CMAKE_CONFIG) -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_CXX_FLAGS="$(HARDENING_CXXFLAGS)" \
	-DCMAKE_EXE_LINKER_FLAGS="$(LINK_FLAGS) $(HARDENING_LDFLAGS)"

# ccache: objects are found again from any build folder or checkout (paths relative to the
# checkout), and the files that use a precompiled header are cached too.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1
export CCACHE_SLOPPINESS ?= pch_defines,time_macros

, := ,
# Configures folder $(1) with the options $(2) unless it is configured already.
configure = [ -f $(1)/CMakeCache.txt ] || cmake -S . -B $(1) $(2) >/dev/null

# ThreadSanitizer cannot map its shadow memory on kernels with high address randomisation;
# running it without randomisation avoids that where setarch allows it.
NO_ASLR := $(shell setarch $$(uname -m) -R true >/dev/null 2>&1 && echo "setarch $$(uname -m) -R")

.PHONY: all deps deps-test deps-sanitizers deps-package build build-run build-clang release \
	test test-main test-sanitizers test-asan test-tsan run bench fuzz format clean package \
	test-package

all: build

deps:
	@./scripts/install-deps.sh build
deps-test:
	@./scripts/install-deps.sh build test
deps-sanitizers:
	@./scripts/install-deps.sh build test sanitizers
deps-package:
	@./scripts/install-deps.sh build package

# What `make run` needs: the window and the simulator.
build-run: deps
	@$(call configure,$(BUILD_DIR),$(DEBUG_CONFIG))
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target skyrelay skyrelay-acu-sim

build: deps-test
	@$(call configure,$(BUILD_DIR),$(DEBUG_CONFIG))
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build-run
	@./scripts/run.sh $(BUILD_DIR)

# Every test, once, in the Debug build. The sanitizer runs are `make test-sanitizers`, which CI
# runs too: with them, a first `make test` would take twice as long.
test: test-main

test-main: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(TEST_JOBS)

test-sanitizers: test-asan test-tsan

# The Qt-free core again, under AddressSanitizer and UndefinedBehaviorSanitizer: only what the
# core's tests run is built. The sanitizer builds use Clang, which compiles instrumented code
# in little more than half the time GCC takes.
test-asan: deps-sanitizers
	@$(call configure,$(ASAN_DIR),$(SANITIZER_CONFIG) -DSKYRELAY_SANITIZE=address$(,)undefined)
	@cmake --build $(ASAN_DIR) -j $(JOBS) --target skyrelay_core_checks
	ctest --test-dir $(ASAN_DIR) -L core --output-on-failure -j $(JOBS)

# The threaded pieces under ThreadSanitizer: the serial port's watcher and the simulator's
# pseudo-terminal server.
test-tsan: deps-sanitizers
	@$(call configure,$(TSAN_DIR),$(SANITIZER_CONFIG) -DSKYRELAY_SANITIZE=thread)
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target test_serial test_sim
	$(NO_ASLR) ctest --test-dir $(TSAN_DIR) -R '^(test_serial|test_sim)\.' --output-on-failure \
		-j $(JOBS)

# The whole tree optimised with GCC, benchmarks included: what `make bench` runs, and in CI
# also the tree the package is made from.
release: deps-test
	@$(call configure,$(RELEASE_DIR),$(RELEASE_CONFIG) -DSKYRELAY_BENCH=ON)
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

# The whole tree optimised with Clang, benchmarks included, held to the same warnings.
build-clang: deps-sanitizers
	@[ -f $(CLANG_DIR)/CMakeCache.txt ] || CXX=clang++ cmake -S . -B $(CLANG_DIR) \
		$(RELEASE_CONFIG) -DSKYRELAY_BENCH=ON >/dev/null
	@cmake --build $(CLANG_DIR) -j $(JOBS)

# Each benchmark prints its figures; then the time of a cold build (an empty build folder,
# no ccache) of what `make run` builds and of the rest `make test` builds.
bench: release
	@for b in $(RELEASE_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true
	@./bench/cold_build.sh

# Each fuzz target under fuzz/ for FUZZ_SECONDS (default 60) with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer; prints executions and coverage per target.
fuzz: deps-sanitizers
	@[ -f $(FUZZ_DIR)/CMakeCache.txt ] || CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_CONFIG) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYRELAY_CORE_ONLY=ON -DBUILD_TESTING=OFF \
		-DSKYRELAY_SANITIZE=address,undefined -DSKYRELAY_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target skyrelay_fuzzers
	@./scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The Debian package, left here as skyrelay_<version>_amd64.deb, from an optimised build of
# its own without the tests (no GoogleTest needed). Only the programs and the installed files
# are built. PACKAGE_DIR=$(RELEASE_DIR) makes it from the release tree instead.
package: deps-package
	@$(call configure,$(PACKAGE_DIR),$(RELEASE_CONFIG) -DBUILD_TESTING=OFF)
	@cmake --build $(PACKAGE_DIR) -j $(JOBS) --target skyrelay_package_parts
	@rm -f $(PACKAGE_DIR)/skyrelay_*.deb skyrelay_*.deb
	@cd $(PACKAGE_DIR) && cpack -G DEB >/dev/null
	@cp $(PACKAGE_DIR)/skyrelay_*.deb .
	@ls skyrelay_*.deb

# The package unpacked and checked: programs, desktop entry, metainfo, lintian.
test-package: package
	@./scripts/test-package.sh skyrelay_*.deb $(PACKAGE_DIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(CLANG_DIR) $(RELEASE_DIR) $(PACKAGE_DIR) \
		$(FUZZ_DIR)
