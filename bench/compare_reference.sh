#!/usr/bin/env bash
# Times Halvatrine's benchmarks against the literal reference loops in
# bench/reference/ in one run on this machine and prints the ratios
# (absolute times on shared machines drift).
#
#   bench/compare_reference.sh [build-dir]      (default: <repo>/build)
#
# The reference loops run on one thread, one pixel or root at a time; ours
# use every core (HV_RENDER_THREADS=N to change) and SIMD lanes.
# To add a comparison: build its reference program in build_references and
# append one `compare` line at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
reference_dir=$root/bench/reference
build=$(realpath "${1:-$root/build}")
bench=$build/bin/halvatrine-bench
out=$build/reference
[ -x "$bench" ] || { echo "missing $bench (build target halvatrine-bench)" >&2; exit 2; }

build_references() {
  mkdir -p "$out"
  g++ -O2 "$reference_dir/aberth_loop.cpp" -o "$out/aberth_loop"
  g++ -O2 -ffp-contract=off "$reference_dir/escape_loops.cpp" -o "$out/escape_loops"
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

# Processor seconds per iteration (every thread of the process for the
# renders) of one benchmark.
bench_cpu_seconds() {
  awk -F, -v name="\"$1\"" '$1 == name {
      f = ($5 == "ns") ? 1e-9 : ($5 == "us") ? 1e-6 : ($5 == "ms") ? 1e-3 : 1
      printf "%.4f", $4 * f }' <<<"$bench_csv"
}

# Median seconds of an escape_loops run: its "median=<s> s" field.
escape_seconds() {
  REPS=3 "$out/escape_loops" "$@" 2>/dev/null | tee /dev/stderr |
    sed -n 's/.*median=\([0-9.]*\) s.*/\1/p'
}

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
  awk -v label="$1" -v r="$2" -v b="$3" -v o="$ours" -v t="$4" -v c="$(bench_cpu_seconds "$3")" 'BEGIN {
      verdict = (t == "-") ? "" : (o / r <= t ? "  (target <= " t ": met)" : "  (target <= " t ": MISSED)")
      printf "%-40s reference %8.4f s   %-36s %8.4f s (cpu %.4f s)   ours/reference %.2f%s\n", label, r, b, o, c, o / r, verdict }'
}

build_references
aberth_990=$(reference_seconds "$out/aberth_loop" 990)
bench_csv=$("$bench" --benchmark_filter='FindRoots' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2

compare_target "aberth literal loop 990" "$aberth_990" "BM_FindRoots/990/real_time" 0.03

# Renders against the plain scalar loops (targets for a 2-core machine).
julia_600=$(escape_seconds julia)
mandel_1000=$(escape_seconds mandel)
rat_600=$(escape_seconds rat)
bench_csv=$("$bench" --benchmark_filter='Render' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2
all_threads=$(awk -F, '$1 ~ /^"BM_RenderMandelbrot1000\/threads:[0-9]+\/process_time\/real_time"$/ { name = $1 }
    END { gsub(/"/, "", name); print name }' <<<"$bench_csv")
compare_target "escape loop julia" "$julia_600" "BM_RenderJulia600/process_time/real_time" 0.25
compare_target "escape loop mandel" "$mandel_1000" "BM_RenderMandelbrot1000/threads:1/process_time/real_time" -
compare_target "escape loop mandel" "$mandel_1000" "$all_threads" 0.20
compare_target "escape loop rat" "$rat_600" "BM_RenderRational600/process_time/real_time" 0.25

# The command-line tool's big picture: 4000 x 4000 Julia z^2 - 1 to PNG.
bench_csv=$("$bench" --benchmark_filter='CliJuliaPng' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2
printf "%-40s %8.4f s\n" "BM_CliJuliaPng4000 (16 tiles, PNG)" "$(bench_seconds BM_CliJuliaPng4000/process_time/real_time)"

# Whole dynamical-plane analyses against the literal Aberth loop at degree
# 990, measured again next to them. Targets: quadratic <= 0.06, worst <= 1.25
# of the reference, and the worst case within 2 GiB.
aberth_990=$(reference_seconds "$out/aberth_loop" 990)
bench_csv=$("$bench" --benchmark_filter='AnalyseJulia' --benchmark_format=csv 2>/dev/null)
echo "$bench_csv" >&2
compare_target "aberth literal loop 990" "$aberth_990" "BM_AnalyseJulia/quadratic/real_time" 0.06
compare_target "aberth literal loop 990" "$aberth_990" "BM_AnalyseJulia/cubic/real_time" -
compare_target "aberth literal loop 990" "$aberth_990" "BM_AnalyseJulia/worst/real_time" 1.25
awk -v m="$(counter BM_AnalyseJulia/worst/real_time maxRSS_MiB)" 'BEGIN {
    printf "%-40s peak memory %.1f MiB   (target <= 2048 MiB: %s)\n", "BM_AnalyseJulia/worst", m, (m <= 2048 ? "met" : "MISSED") }'
