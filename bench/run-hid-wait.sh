#!/usr/bin/env bash
# Builds the HID wait benchmark in a release build and runs it: the CPU time
# of a 200 ms HIDProxy::waitForReadyRead on a silent device. Environment:
# KOLM_BENCH_BUILD_DIR (default build-bench).
exec bash "$(dirname "$0")/run-release.sh" hid_wait_bench "$@"
