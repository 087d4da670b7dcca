#!/usr/bin/env bash
# Installs what is missing, builds Halvatrine and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
# The front end starts its viewers (torvel) from its own directory.
exec ./build/bin/halvatrine
