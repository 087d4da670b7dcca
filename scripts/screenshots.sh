#!/usr/bin/env bash
# Retakes the README's screenshots (docs/screenshot-julia.png and
# docs/screenshot-mandelbrot.png): builds the programs, then lets the front
# end execute a Julia and a Mandelbrot picture under Xvfb and cuts each
# finished viewer window out of the screen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target torvel take_screenshots -j "$(nproc)"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bin/take_screenshots docs
