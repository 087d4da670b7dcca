#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# the release build with every test (window tests offscreen), then a debug
# build of the parts without windows under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$jobs" -LE e2e
ctest --test-dir build --output-on-failure -L e2e --no-tests=ignore

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHV_SANITIZE=ON \
      -DHV_BUILD_GUI=OFF -DHV_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
