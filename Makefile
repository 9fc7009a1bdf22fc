# Skyrelay: `make run` starts the program on the bundled ACU simulator, `make test` runs
# every test. Both install what is missing first.

BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
TSAN_DIR  ?= build-tsan
BENCH_DIR ?= build-bench
FUZZ_DIR  ?= build-fuzz
CLANG_DIR ?= build-clang
PACKAGE_DIR ?= build-package
FUZZ_SECONDS ?= 60
JOBS      ?= $(shell nproc)
CMAKE_GEN := -G Ninja -DCMAKE_BUILD_TYPE=Debug

# ThreadSanitizer cannot map its shadow memory on kernels with high address randomisation;
# running it without randomisation avoids that where setarch allows it.
NO_ASLR := $(shell setarch $$(uname -m) -R true >/dev/null 2>&1 && echo "setarch $$(uname -m) -R")

.PHONY: all deps build build-clang test test-main test-asan test-tsan run bench fuzz format clean \
	package test-package

all: build

deps:
	@./scripts/install-deps.sh

build: deps
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: test-main test-asan test-tsan

test-main: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The Qt-free core again, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@[ -f $(ASAN_DIR)/CMakeCache.txt ] || cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) \
		-DSKYRELAY_CORE_ONLY=ON -DSKYRELAY_SANITIZE=address,undefined >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) -L core --output-on-failure -j $(JOBS)

# The threaded pieces under ThreadSanitizer: the serial port's watcher and the simulator's
# pseudo-terminal server.
test-tsan: deps
	@[ -f $(TSAN_DIR)/CMakeCache.txt ] || cmake -S . -B $(TSAN_DIR) $(CMAKE_GEN) \
		-DSKYRELAY_CORE_ONLY=ON -DSKYRELAY_SANITIZE=thread >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target test_serial test_sim
	$(NO_ASLR) ctest --test-dir $(TSAN_DIR) -R '^(test_serial|test_sim)$$' --output-on-failure -j $(JOBS)

# Benchmarks in an optimised build of their own; each prints its figures.
bench: deps
	@[ -f $(BENCH_DIR)/CMakeCache.txt ] || cmake -S . -B $(BENCH_DIR) -G Ninja \
		-DCMAKE_BUILD_TYPE=Release -DSKYRELAY_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# The whole tree with Clang, held to the same warnings as the GCC build.
build-clang: deps
	@[ -f $(CLANG_DIR)/CMakeCache.txt ] || CXX=clang++ cmake -S . -B $(CLANG_DIR) $(CMAKE_GEN) >/dev/null
	@cmake --build $(CLANG_DIR) -j $(JOBS)

# Each fuzz target under fuzz/ for FUZZ_SECONDS (default 60) with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer; prints executions and coverage per target.
fuzz: deps
	@[ -f $(FUZZ_DIR)/CMakeCache.txt ] || CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYRELAY_CORE_ONLY=ON \
		-DSKYRELAY_SANITIZE=address,undefined -DSKYRELAY_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target skyrelay_fuzzers
	@./scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

HARDENING_CXXFLAGS := -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection \
	-fcf-protection
HARDENING_LDFLAGS := -Wl,-z,relro -Wl,-z,now

# The Debian package from an optimised build of its own, left here as
# skyrelay_<version>_amd64.deb. Only the programs and the installed files are built: the
# install step does not wait for the tests. Compiled with Debian's hardening: fortified libc
# calls, stack protector, full RELRO with immediate binding.
package: deps
	@[ -f $(PACKAGE_DIR)/CMakeCache.txt ] || cmake -S . -B $(PACKAGE_DIR) -G Ninja \
		-DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
		-DCMAKE_CXX_FLAGS="$(HARDENING_CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(HARDENING_LDFLAGS)" \
		>/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS) --target skyrelay_package_parts
	@rm -f $(PACKAGE_DIR)/skyrelay_*.deb skyrelay_*.deb
	@cd $(PACKAGE_DIR) && cpack -G DEB >/dev/null
	@cp $(PACKAGE_DIR)/skyrelay_*.deb .
	@ls skyrelay_*.deb

# The package unpacked and checked: programs, desktop entry, metainfo, lintian.
test-package: package
	@./scripts/test-package.sh skyrelay_*.deb $(PACKAGE_DIR)

run: build
	@./scripts/run.sh $(BUILD_DIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(BENCH_DIR) $(FUZZ_DIR) $(CLANG_DIR) $(PACKAGE_DIR)
