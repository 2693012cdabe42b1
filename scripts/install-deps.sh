#!/usr/bin/env bash
# Installs the Debian 12 packages Velcroft needs to build and test (run as root).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    juce-modules-source
    libfreetype-dev libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev libxrender-dev
    libpng-dev libjpeg-dev zlib1g-dev libxtst-dev
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth fonts-dejavu-core xdotool
    lsp-plugins-vst
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # Without recommends: nothing of ours needs them.
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
