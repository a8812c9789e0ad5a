#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# Installs the Debian packages Quillet needs (when run as root), or prints the
# apt-get line to run. One list for the whole product, its tests and benchmarks.
set -euo pipefail

PACKAGES=(
    g++ cmake make pkg-config libgtest-dev nlohmann-json3-dev
    qt6-base-dev qt6-svg-dev libxkbcommon-dev libgl-dev
    libjpeg62-turbo-dev zlib1g-dev libwmf-dev fonts-urw-base35 libexpat1-dev libpng-dev libemf2svg-dev
    xvfb xauth imagemagick fonts-dejavu-core
    python3-gi gir1.2-atspi-2.0 at-spi2-core dbus-daemon x11-utils
    python3 python3-mutagen libtag1-dev ffmpeg
    clang libclang-rt-14-dev
    dpkg-dev help2man lintian desktop-file-utils appstream bash-completion reuse
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
else
    # A minimal Debian has no sudo: the line is for a root shell (su -).
    echo "Quillet needs these Debian packages. Install them as root with:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
fi
