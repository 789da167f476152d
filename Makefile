# Two commands for a fresh Debian machine: `make run` and `make test`.
SHELL := /bin/bash
ROOT  := $(CURDIR)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN    := $(BUILD)/win
JOBS  ?= $(shell nproc)
XVFB  := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps native win test test-native test-wine run bench clean prefix

all: native win

deps:
	@bash scripts/deps.sh

native: deps
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(NATIVE) -j $(JOBS)

win: deps
	cmake -S . -B $(WIN) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-w64.cmake
	cmake --build $(WIN) -j $(JOBS)

prefix: deps
	@KS_BUILD=$(WIN) bash -c 'source scripts/wine-env.sh'

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-wine: win prefix
	@# A wineserver left from another display would keep its desktop there.
	@KS_BUILD=$(WIN) bash -c 'source scripts/wine-env.sh && wineserver -k' 2>/dev/null || true
	cd $(WIN) && $(XVFB) ctest --output-on-failure

test: test-native test-wine

# Starts Keystrum under Wine on the current display, or on a fresh Xvfb display.
run: win prefix
	@bash scripts/run.sh $(WIN)

bench: win prefix
	@bash scripts/bench.sh $(WIN)

clean:
	rm -rf $(BUILD)
