#!/usr/bin/env bash
# Builds the debugging session benchmark in a release build and runs it
# offscreen: a 32 KB image written to the window's local emulator and steps
# refreshing registers and RAM. Environment: KOLM_BENCH_BUILD_DIR (default
# build-bench).
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} exec bash "$(dirname "$0")/run-release.sh" debug_session_bench "$@"
