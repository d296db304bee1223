#!/usr/bin/env bash
# Compile time and peak memory of the compiler on generated scripts of
# growing size up to the largest image the format holds, at levels 0 and 1,
# and on pathological sources. A Release build goes to build-bench (or
# $KOLM_BENCH_BUILD_DIR).
#
# usage: bash bench/compiler_bench.sh
exec bash "$(dirname "$0")/run-release.sh" compiler_bench "$@"
