#!/usr/bin/env bash
# Installs what building, running and testing the tool needs on Debian, where missing.
# Usage: scripts/setup.sh [extra packages...]
set -euo pipefail

packages=(build-essential cmake qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-charts-dev
          libqt6opengl6-dev libgl-dev qt6-qpa-plugins qt6-translations-l10n
          qt6-tools-dev qt6-l10n-tools libmodbus-dev libmosquitto-dev mosquitto pkg-config clang clang-format "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# A CJK font, so that no caption shows as boxes.
if ! fc-list :lang=zh 2>/dev/null | grep -q .; then
  dpkg -s fonts-wqy-microhei >/dev/null 2>&1 || missing+=(fonts-wqy-microhei)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
