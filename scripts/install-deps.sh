#!/usr/bin/env bash
# Installs what Halvatrine needs to build, test and run on Debian 12; does
# nothing when everything is there already.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  libhwy-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  qt6-l10n-tools qt6-translations-l10n desktop-file-utils
  xvfb xauth fonts-noto-cjk
  imagemagick poppler-utils locales
  clang-14 libfuzzer-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A locale with a decimal comma, so the tests can show that number texts
# ignore the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "de_DE.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen > /dev/null
  "${sudo_cmd[@]}" locale-gen > /dev/null
fi
