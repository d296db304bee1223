#!/usr/bin/env bash
# Builds the debugger page benchmark in a release build and runs it
# offscreen: disassembly of a 16 KB image through the bridge, the page taking
# a 60 KB image's listing and one single-step refresh with a 5,000-line
# source. Environment: KOLM_BENCH_BUILD_DIR (default build-bench).
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} exec bash "$(dirname "$0")/run-release.sh" debugger_bench "$@"
