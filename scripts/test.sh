#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
#  1. the release build with every test (window tests offscreen);
#  2. a debug build under AddressSanitizer and UBSan with every test, window
#     and end-to-end tests included (leaks inside system libraries are
#     suppressed one by one in scripts/lsan-suppressions.txt);
#  3. the fuzz targets (clang, libFuzzer), each for a short fixed number of
#     executions on its seed corpus; scripts/fuzz.sh runs them for longer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$jobs" -LE e2e
ctest --test-dir build --output-on-failure -L e2e --no-tests=ignore

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHV_SANITIZE=ON -DHV_BUILD_GUI=ON \
      -DHV_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE e2e
ctest --test-dir build-asan --output-on-failure -L e2e --no-tests=ignore

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DHV_FUZZ=ON
cmake --build build-fuzz -j "$jobs" --target hv_fuzz_targets
ctest --test-dir build-fuzz --output-on-failure -L fuzz
