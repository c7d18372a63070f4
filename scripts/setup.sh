#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Safe to run again: it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-wqy-microhei
  xvfb xdotool x11-utils imagemagick
  googletest libgtest-dev libbenchmark-dev
  iproute2 clang libclang-rt-14-dev
  nsis python3-pefile msitools wixl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
