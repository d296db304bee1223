#!/usr/bin/env bash
# Builds the disassembler benchmark in a release build and runs it: a 60 KB
# image with its debug section listed as JSON (goal: under 50 ms), text and
# XML. Environment: KOLM_BENCH_BUILD_DIR (default build-bench).
exec bash "$(dirname "$0")/run-release.sh" disasm_bench "$@"
