#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, runs them side by side for the given time and
# prints a table of their figures.
#
# usage: fuzz/run-all.sh [SECONDS] [TARGET...]
#   SECONDS  how long each target runs (default 600)
#   TARGET   the targets to run (default: all)
# Environment: KOLM_FUZZ_BUILD_DIR (default build-fuzz), KOLM_FUZZ_JOBS
# (build jobs, default nproc).
#
# Each target's corpus grows in BUILD_DIR/corpus/TARGET, starting from its
# seeds; its log is BUILD_DIR/logs/TARGET.log, and an input that makes it
# fail is saved in BUILD_DIR/findings/TARGET/. The status is 1 when a target
# found something.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
build=${KOLM_FUZZ_BUILD_DIR:-$here/build-fuzz}
jobs=${KOLM_FUZZ_JOBS:-$(nproc)}

# target | seed folders | dictionary | largest input
table=(
  "fuzz_vm|fuzz/seeds/vm|image.dict|65537"
  "fuzz_vm_batch|fuzz/seeds/vm fuzz/seeds/vm_batch|image.dict|65537"
  "fuzz_disasm|resources/examples fuzz/seeds/disasm|image.dict|65536"
  "fuzz_board_package|resources/bsp|board_package.dict|16384"
  "fuzz_devlink_receive|fuzz/seeds/devlink|devlink.dict|4096"
  "fuzz_kdb_cmdline|fuzz/seeds/kdb_cmdline|kdb_cmdline.dict|1024"
  "fuzz_emu_link|fuzz/seeds/emulink|devlink.dict|4096"
  "fuzz_dfu_frames|fuzz/seeds/dfu_frames|dfu.dict|4096"
  "fuzz_dfu_package|fuzz/seeds/dfu_package|dfu.dict|4096"
  "fuzz_project_package|fuzz/seeds/project_package|project_package.dict|8192"
  "fuzz_compiler|tests/kolm/run tests/kolm/fail tests/kolm/include fuzz/seeds/compiler|kolm.dict|16384"
)

selected=()
for row in "${table[@]}"; do
  name=${row%%|*}
  if [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; then
    selected+=("$row")
  fi
done
if [ ${#selected[@]} -eq 0 ]; then
  echo "No such target: $*" >&2
  exit 2
fi

bash "$here/tools/install-deps.sh" fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKOLM_FUZZ=ON -DKOLM_SANITIZE=ON -DKOLM_BUILD_TESTS=OFF -DKOLM_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$jobs" --target "${selected[@]%%|*}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

pids=()
for row in "${selected[@]}"; do
  IFS='|' read -r name seeds dict maxlen <<<"$row"
  corpus=$build/corpus/$name
  mkdir -p "$corpus" "$build/logs" "$build/findings/$name"
  for s in $seeds; do
    find "$here/$s" -type f -exec cp -n {} "$corpus/" \;
  done
  echo "Running $name for ${seconds}s"
  "$build/fuzz/$name" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 \
    -dict="$here/fuzz/dictionaries/$dict" -artifact_prefix="$build/findings/$name/" \
    -print_final_stats=1 "$corpus" >"$build/logs/$name.log" 2>&1 &
  pids+=("$!")
done

status=0
results=()
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then results+=(ok); else results+=(FOUND); status=1; fi
done

printf '\n%-22s %8s %10s %8s %8s %8s  %s\n' target seconds runs exec/s cov ft result
for i in "${!selected[@]}"; do
  name=${selected[$i]%%|*}
  log=$build/logs/$name.log
  # The last status line holds the coverage; the final stats the totals.
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
  printf '%-22s %8s %10s %8s %8s %8s  %s\n' "$name" "${took:-?}" "${runs:-?}" "${speed:-?}" "${cov:-?}" \
    "${ft:-?}" "${results[$i]}"
done
if [ $status -ne 0 ]; then
  echo "Findings are in $build/findings/, logs in $build/logs/." >&2
fi
exit $status
