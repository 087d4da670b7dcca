#!/usr/bin/env bash
# Runs the fuzz targets of fuzz/ for longer than the test command's smoke
# runs: scripts/fuzz.sh [SECONDS] [TARGET...], each target SECONDS long
# (default 600), all targets when none is named, one after the other.
#
# The targets are built with clang, libFuzzer, AddressSanitizer and UBSan in
# build-fuzz/. Each run starts from the seeds in fuzz/corpus/<target> and
# grows its own corpus in build-fuzz/corpus/<target>; a crashing input lands
# in build-fuzz/findings/<target>/ with the run's log next to it. Once the
# fault is fixed, copy the input into fuzz/corpus/<target> as a regression.
# Exit status 1 when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
[ $# -gt 0 ] && shift
bash scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DHV_FUZZ=ON > /dev/null
cmake --build build-fuzz -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
found=0
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/")
  case $target in
    fuzz_block_reader) options+=(-max_len=131072) ;;
    fuzz_sample_file) options+=(-max_len=16384) ;;
    *) options+=(-max_len=4096) ;;
  esac
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  echo "== $target, ${seconds}s"
  log=$findings/run.log
  if ! "build-fuzz/bin/$target" "${options[@]}" "$corpus" "fuzz/corpus/$target" 2> "$log"; then
    found=1
    echo "   FOUND a fault: $(ls "$findings" | grep -v run.log | tr '\n' ' ')(log: $log)"
  fi
  # Executions, coverage (edges and features) and corpus at the end of the run.
  grep -E '^#[0-9]+' "$log" | tail -n 1 | sed 's/^/   /'
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$log" | sed 's/^/   /'
done
exit $found
