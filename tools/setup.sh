#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine.
# Does nothing for what is already there.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest python3
  libgtest-dev g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 fonts-wine xvfb xauth x11-utils imagemagick
  fonts-wqy-zenhei fonts-wqy-microhei fonts-arphic-uming locales
  libgif-dev libpng-dev zlib1g-dev libssl-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # With recommends: Wine needs its own fonts and the X extensions it recommends
  # to draw as it does on the developers' machines.
  apt-get install -y -q "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
