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
  g++ -O2 -fopenmp -ffp-contract=off "$reference_dir/escape_reference.cpp" -o "$out/escape_reference"
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

# Median seconds of an escape_reference run: its "median=<s> s" field.
escape_seconds() {
  REPS=3 OMP_NUM_THREADS=1 "$out/escape_reference" "$@" 2>/dev/null | tee /dev/stderr |
    sed -n 's/.*median=\([0-9.]*\) s.*/\1/p'
}

# compare_time LABEL REFERENCE_SECONDS BENCHMARK_NAME: our time over the reference's.
compare_time() {
  local ours
  ours=$(bench_seconds "$3")
  [ -n "$ours" ] || { echo "$3: no result" >&2; return 1; }
  awk -v label="$1" -v r="$2" -v b="$3" -v o="$ours" 'BEGIN {
      printf "%-40s reference %8.4f s   %-28s %8.4f s   ours/reference %.2f\n", label, r, b, o, o / r }'
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

# Renders: the single render thread against the plain scalar loop.
julia_600=$(escape_seconds julia scalar 1)
mandel_1000=$(escape_seconds mandel scalar 1)
rat_600=$(escape_seconds rat scalar 1)
bench_csv=$("$bench" --benchmark_filter='Render' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2
compare_time "escape julia scalar 1" "$julia_600" "BM_RenderJulia600/real_time"
compare_time "escape mandel scalar 1" "$mandel_1000" "BM_RenderMandelbrot1000/real_time"
compare_time "escape rat scalar 1" "$rat_600" "BM_RenderRational600/real_time"

# Whole dynamical-plane analyses against the literal Aberth loop at degree
# 990, measured again next to them. Targets: quadratic <= 0.19, worst <= 1.25
# of the reference, and the worst case within 2 GiB.
# counter NAME COLUMN: a user counter of one benchmark from the CSV.
counter() {
  awk -F, -v name="\"$1\"" -v col="\"$2\"" 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == col) c = i }
      $1 == name && c { print $c }' <<<"$bench_csv"
}
# compare_target LABEL REFERENCE_SECONDS BENCHMARK_NAME TARGET
compare_target() {
  local ours
  ours=$(bench_seconds "$3")
  [ -n "$ours" ] || { echo "$3: no result" >&2; return 1; }
  awk -v label="$1" -v r="$2" -v b="$3" -v o="$ours" -v t="$4" 'BEGIN {
      verdict = (t == "-") ? "" : (o / r <= t ? "  (target <= " t ": met)" : "  (target <= " t ": MISSED)")
      printf "%-40s reference %8.4f s   %-36s %8.4f s   ours/reference %.2f%s\n", label, r, b, o, o / r, verdict }'
}
aberth_990=$(OMP_NUM_THREADS=1 reference_seconds "$out/aberth_reference" plain random 990)
bench_csv=$("$bench" --benchmark_filter='AnalyseJulia' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2
compare_target "aberth plain random 990 (1 thread)" "$aberth_990" "BM_AnalyseJulia/quadratic/real_time" 0.19
compare_target "aberth plain random 990 (1 thread)" "$aberth_990" "BM_AnalyseJulia/cubic/real_time" -
compare_target "aberth plain random 990 (1 thread)" "$aberth_990" "BM_AnalyseJulia/worst/real_time" 1.25
awk -v m="$(counter BM_AnalyseJulia/worst/real_time maxRSS_MiB)" 'BEGIN {
    printf "%-40s peak memory %.1f MiB   (target <= 2048 MiB: %s)\n", "BM_AnalyseJulia/worst", m, (m <= 2048 ? "met" : "MISSED") }'
