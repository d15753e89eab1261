#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quillomat need.
# Quiet and quick when they are all there already.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libx11-dev libxtst-dev libxi-dev libxres-dev libasound2-dev
  # tests, fuzzing and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # a real X server with a window manager for the desktop tests, and the tools they read with
  xvfb openbox x11-utils x11-xserver-utils xclip wmctrl xdotool xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
