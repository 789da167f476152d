# Two commands for a fresh Debian machine: `make run` and `make test`.
SHELL := /bin/bash
ROOT  := $(CURDIR)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN    := $(BUILD)/win
JOBS  ?= $(shell nproc)
XVFB  := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps native win-configure win test test-native test-wine run dist bench clean prefix fuzz

all: native win

deps:
	@bash scripts/deps.sh

native: deps
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(NATIVE) -j $(JOBS)

win-configure: deps
	cmake -S . -B $(WIN) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-w64.cmake -DKS_DIST_DIR=$(BUILD)

win: win-configure
	cmake --build $(WIN) -j $(JOBS)

prefix: deps
	@KS_BUILD=$(WIN) bash -c 'source scripts/wine-env.sh'

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-wine: win prefix
	@# A wineserver left from another display would keep its desktop there.
	@KS_BUILD=$(WIN) bash -c 'source scripts/wine-env.sh && wineserver -k' 2>/dev/null || true
	@# Wine delivers focus and input asynchronously; a suite that loses that race once is
	@# run again, and only a second failure counts.
	cd $(WIN) && $(XVFB) ctest --output-on-failure --repeat until-pass:2

test: test-native test-wine

# Starts Keystrum under Wine on the current display, or on a fresh Xvfb display. Builds
# only the program, its library, its guide and kspost, which the commands it prints use.
run: win-configure prefix
	cmake --build $(WIN) -j $(JOBS) --target keystrum keyhook guide kspost
	@bash scripts/run.sh $(WIN)

# The package a user downloads: build/keystrum-<version>-win64.zip.
dist: win-configure
	cmake --build $(WIN) -j $(JOBS) --target dist

bench: win prefix
	@bash scripts/bench.sh $(WIN)

# Runs every fuzzer for FUZZ_SECONDS from the committed corpus; new inputs collect in
# build/fuzz/corpus, a failing input in build/fuzz/artifacts.
FUZZ  := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
FUZZERS := ini settings textfile typist memo encoding abbrev

fuzz:
	@bash scripts/deps-fuzz.sh
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKS_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS) --target fuzzers
	@set -e; for t in $(FUZZERS); do \
	  mkdir -p $(FUZZ)/corpus/$$t $(FUZZ)/artifacts/$$t; \
	  echo "== $$t: $(FUZZ_SECONDS) s"; \
	  $(FUZZ)/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -dict=fuzz/$$t.dict \
	    -artifact_prefix=$(FUZZ)/artifacts/$$t/ $(FUZZ)/corpus/$$t fuzz/corpus/$$t 2>&1 \
	    | grep -E '^(#[0-9]+ +DONE|Done|broken rule|==[0-9]+==|SUMMARY|artifact)' ; \
	  test $${PIPESTATUS[0]} -eq 0; \
	done

clean:
	rm -rf $(BUILD)
