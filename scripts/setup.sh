#!/usr/bin/env bash
# Installs what Tavrel needs to build, test and run on Debian 12. Only missing packages
# are installed, so a second run takes a moment.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-translations-l10n libqcustomplot-dev libgl-dev
  libzip-dev zlib1g-dev libeigen3-dev libboost-math-dev
  python3-docx python3-openpyxl python3-scipy
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-arphic-uming fonts-liberation fonts-wqy-microhei
  xvfb xauth
  clang libclang-rt-14-dev
  poppler-utils desktop-file-utils file xdotool lintian appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
  else
    sudo=
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
