#!/usr/bin/env bash
# Refreshes translations/halvatrine_en.ts from the sources (new texts appear
# as unfinished entries to translate; texts gone from the code are dropped).
# The build compiles the catalogue; the tests refuse unfinished entries.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -locations none -no-obsolete -source-language ja -target-language en \
  common frontend platform viewer -ts translations/halvatrine_en.ts
