# Thin wrapper over CMake. `make run` and `make test` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: deps configure build run test bench format clean test-sanitize test-threads fuzz

deps:
	@tools/install-deps.sh

# ccache, when installed, lets several checkouts share their compiled objects.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/lumarel

test: build
	@cd $(BUILD) && ctest --output-on-failure --timeout 600

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@$(BUILD)/bench/lumarel-bench

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer: any report fails its test.
# The package check is left out: a sanitized program carries its source paths for its reports.
SANITIZE_BUILD ?= build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) \
		-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && \
		ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/leaks.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure --timeout 600 -E '^tst_package$$'

# Under ThreadSanitizer: the engine (the deadline runner, its worker thread, the kill), the flyer
# service with its pool's sessions and the window's jobs thread, and the command line's lists,
# which share a pool between threads. The windows' tests stay out: Qt scales their pictures on
# its own thread pool, synchronized inside Qt, which the sanitizer cannot see. The office is started by fork and exec from a process with threads; the sanitizer would end
# the child before its exec (die_after_fork) although it runs only async-signal-safe calls.
THREADS_BUILD ?= build-threads
THREADS_TESTS := tst_officeengine tst_flyerservice tst_commandline
test-threads: deps
	@cmake -S . -B $(THREADS_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) \
		-DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" >/dev/null
	@cmake --build $(THREADS_BUILD) -j $(JOBS) --target $(THREADS_TESTS) tst_engineholder
	@cd $(THREADS_BUILD) && \
		TSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/threads.supp:halt_on_error=1:second_deadlock_stack=1:die_after_fork=0 \
		ctest --output-on-failure --timeout 600 -R '^($(subst $(eval) ,|,$(THREADS_TESTS)))$$'

# Fuzzes the Word 97 readers with libFuzzer for FUZZ_TIME seconds; the seeds in the tree run
# first, and the inputs found on the way collect in the build folder's corpus. A fault leaves its
# input in the build folder: fix it and add the input to the seeds.
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 300
FUZZ_SEED ?= 0
FUZZ_SEEDS := tests/fuzz/seeds
# Full stacks at every allocation, as the system's libraries have no frame pointers: without
# them a leak in a library cannot be told from ours by the suppressions.
fuzz: export ASAN_OPTIONS = fast_unwind_on_malloc=0:malloc_context_size=8
fuzz: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/sanitize/leaks.supp:print_suppressions=0
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DLUMAREL_FUZZ=ON $(LAUNCHER) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_wordfile
	@mkdir -p $(FUZZ_BUILD)/corpus
	@$(FUZZ_BUILD)/tests/fuzz/fuzz_wordfile $(FUZZ_SEEDS)/*
	@$(FUZZ_BUILD)/tests/fuzz/fuzz_wordfile -max_total_time=$(FUZZ_TIME) -seed=$(FUZZ_SEED) \
		-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/ \
		$(FUZZ_BUILD)/corpus $(FUZZ_SEEDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)

# `make install PREFIX=/usr DESTDIR=/tmp/stage` as usual; the package installs under /usr.
PREFIX ?= /usr/local
.PHONY: install package

install: build
	@DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cd $(BUILD) && cpack
