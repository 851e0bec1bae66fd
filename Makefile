# Thin wrapper over CMake. `make run` and `make test` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: deps configure build run test bench format clean

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
