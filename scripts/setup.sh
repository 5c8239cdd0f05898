#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (as root, or with sudo) when it is missing; then configures
# and builds into the folder given (default: build) with any extra CMake arguments.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libsdl2-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev
          fonts-dejavu-core zlib1g-dev libgtest-dev libbenchmark-dev xvfb xdotool x11-utils imagemagick sox
          openbox bc libxfixes-dev xdg-user-dirs desktop-file-utils appstream dpkg-dev file man-db rsync)
# The test command adds the fuzzing compiler and its runtime (clang-14, libclang-rt-14-dev) here.
read -r -a extra <<<"${PLINKOR_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi

build_dir="${1:-build}"
shift || true
cmake -S . -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
