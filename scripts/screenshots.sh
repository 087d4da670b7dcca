#!/usr/bin/env bash
# Retakes the README's pictures under Xvfb, in Japanese (docs/) and in
# English (docs/en/): the main dialog, the finished Julia and Mandelbrot
# viewers (the front end executes both pictures and each finished viewer
# window is cut out of the screen) and the colour and orbit dialogs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target torvel take_screenshots main_dialog_screenshot colour_dialog_screenshots \
  hv_translations -j "$(nproc)"
for lang in ja en; do
  out=docs
  [ "$lang" = en ] && out=docs/en
  mkdir -p "$out"
  export HALVATRINE_LANG=$lang
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bin/take_screenshots "$out"
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bin/main_dialog_screenshot "$out"
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bin/colour_dialog_screenshots "$out"
done
