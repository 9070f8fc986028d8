#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the program and the tests need.
# Idempotent: asks apt only for what is missing. Needs root (or sudo) when something is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config ninja-build
    qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    libhidapi-dev libudev-dev libevdev-dev
    libx11-dev libxcb1-dev libxtst-dev libxres-dev
    libjpeg-dev zlib1g-dev libpng-dev
    libgtest-dev
    xvfb xauth fonts-dejavu-core xdotool x11-utils x11-apps trayer
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
