#!/usr/bin/env bash
# Builds the firmware flashing benchmark in a release build and runs it: a
# 64 KB image in USB report mode, USB bulk mode and over the serial link
# (goal: bulk beats report mode). Arguments: [KILOBYTES [NS_PER_BYTE]].
# Environment: KOLM_BENCH_BUILD_DIR (default build-bench).
exec bash "$(dirname "$0")/run-release.sh" dfu_bench "$@"
