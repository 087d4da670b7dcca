#!/usr/bin/env bash
# Times Halvatrine's benchmarks against the reference programs in one run on
# this machine and prints the ratios (absolute times on shared machines drift).
#
#   bench/compare_reference.sh [build-dir]      (default: <repo>/build)
#
# To add a comparison: build its reference program in build_references and
# append one `compare` line at the end.
set -euo pipefail
root=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
reference_dir=$root/../shared/reference
build=$(realpath "${1:-$root/build}")
bench=$build/bin/halvatrine-bench
out=$build/reference
[ -x "$bench" ] || { echo "missing $bench (build target halvatrine-bench)" >&2; exit 2; }

build_references() {
  mkdir -p "$out"
  g++ -O2 -fopenmp "$reference_dir/aberth_reference.cpp" -o "$out/aberth_reference"
}

# Seconds of a reference run: its "time=<s> s" field.
reference_seconds() {
  "$@" | tee /dev/stderr | sed -n 's/.*time=\([0-9.]*\) s.*/\1/p'
}

# Seconds per iteration (wall clock) of one benchmark, from the CSV of one run.
bench_seconds() {
  awk -F, -v name="\"$1\"" '$1 == name {
      f = ($5 == "ns") ? 1e-9 : ($5 == "us") ? 1e-6 : ($5 == "ms") ? 1e-3 : 1
      printf "%.4f", $3 * f }' <<<"$bench_csv"
}

# compare LABEL REFERENCE_SECONDS BENCHMARK_NAME
compare() {
  local ours
  ours=$(bench_seconds "$3")
  [ -n "$ours" ] || { echo "$3: no result" >&2; return 1; }
  awk -v label="$1" -v r="$2" -v b="$3" -v o="$ours" 'BEGIN {
      printf "%-40s reference %8.4f s   %-22s %8.4f s   ratio 1/%.1f\n", label, r, b, o, r / o }'
}

build_references
aberth_990=$(OMP_NUM_THREADS=1 reference_seconds "$out/aberth_reference" plain random 990)
bench_csv=$("$bench" --benchmark_filter='FindRoots' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2

compare "aberth plain random 990 (1 thread)" "$aberth_990" "BM_FindRoots/990/real_time"
