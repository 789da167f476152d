#!/usr/bin/env bash
# The fuzzers' own packages (clang and its sanitizer and libFuzzer runtimes) on top of the
# build's, installed only when missing; `make test` never needs them.
set -euo pipefail
exec bash "$(dirname "$0")/deps.sh" clang libclang-rt-dev
