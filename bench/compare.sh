#!/usr/bin/env bash
# The virtual machine against Lua 5.4 and C on the same four programs:
# recursive Fibonacci (fib(20), 1,000 times), a summing loop of 100 million
# steps, a count of the primes below 1,000,000 by trial division and
# 1,000,000 sprintf calls into a RAM buffer. The Kolm sources in
# bench/programs are compiled with our compiler at optimisation level 1 for
# the Emulator board (bench_compile) and run in the local run of
# halvane-kdb; the Lua and C sources are beside them, C built with gcc -O2
# as the physical limit.
#
# usage: bash bench/compare.sh [RUNS]
# Each command runs RUNS times (default 5); the table gives the smallest CPU
# time (user + sys) of the runs, the virtual machine's instructions per
# second and the time ratios. A Release build goes to build-bench (or
# $KOLM_BENCH_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
build=${KOLM_BENCH_BUILD_DIR:-$here/build-bench}
programs=(fib sum primes format)

for tool in lua5.4 gcc cmake; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (bash tools/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -f "$build/CMakeCache.txt" ]; then
  generator=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DKOLM_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target halvane-kdb bench_compile >/dev/null
kdb=$(find "$build" -name halvane-kdb -type f -perm -u+x | head -n 1)
compile=$(find "$build" -name bench_compile -type f -perm -u+x | head -n 1)

# Compiles the images, checks them on the machine against Lua's result and
# counts their instructions.
declare -A instructions results
for name in "${programs[@]}"; do
  results[$name]=$(lua5.4 "$here/bench/programs/$name.lua")
  instructions[$name]=$("$compile" "$here/resources/bsp/Emulator.kbsp" "$here/bench/programs/$name.kos" \
                        "$work/$name.kcs" "${results[$name]}" 2>"$work/compile.log") ||
    { cat "$work/compile.log" >&2; exit 1; }
  gcc -O2 -o "$work/$name" "$here/bench/programs/$name.c"
done

# The smallest CPU seconds (user + sys) of RUNS runs of the command.
cpu_seconds() {
  local best="" times
  for ((i = 0; i < runs; i++)); do
    times=$( { TIMEFORMAT='%U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )
    best=$(awk -v t="$times" -v b="$best" 'BEGIN { split(t, f, " "); s = f[1] + f[2];
                                                    if (b == "" || s < b) b = s; printf "%.3f", b }')
  done
  echo "$best"
}

# Every command must print the program's result before it is timed.
expect() {
  local output
  output=$("$@" 2>&1)
  grep -q "$expected" <<<"$output" || { echo "$* printed: $output (expected $expected)" >&2; exit 1; }
}

printf 'CPU seconds, smallest of %s runs\n' "$runs"
printf '%-8s %14s %10s %12s %10s %10s %9s %9s\n' program instructions kdb "instr/s" "Lua 5.4" "C -O2" kdb/Lua kdb/C
for name in "${programs[@]}"; do
  expected=${results[$name]}
  expect "$kdb" "$work/$name.kcs"
  expect "$work/$name"
  kdb_s=$(cpu_seconds "$kdb" "$work/$name.kcs")
  lua_s=$(cpu_seconds lua5.4 "$here/bench/programs/$name.lua")
  c_s=$(cpu_seconds "$work/$name")
  awk -v n="$name" -v i="${instructions[$name]}" -v k="$kdb_s" -v l="$lua_s" -v c="$c_s" 'BEGIN {
    rate = k > 0 ? sprintf("%.0fM", i / k / 1e6) : "-"
    cr = c > 0 ? sprintf("%.1f", k / c) : "-"
    printf "%-8s %14d %10.3f %12s %10.3f %10.3f %9.2f %9s\n", n, i, k, rate, l, c, k / l, cr }'
done
