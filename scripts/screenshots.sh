#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
#
# Takes screenshots of the window, offscreen, to look at its layout as a user
# would: every page and editor sub-page of a file with one entry in each list,
# and a small album with its cover as a desktop may dress the window, at a
# scale factor of 2 and in a dark palette.
#
#   scripts/screenshots.sh [FOLDER]     # default /tmp/quillet-shots
#
# FOLDER gets page0-selection.png, editor-0.png .. editor-7.png,
# page2-renamer.png, page3-about.png and desktop-*.png; hidpi/ and dark/ the
# desktop-*.png of those looks. BUILD names the build folder (default build).
# The album lies in a folder made in TMPDIR, which the file view shows with
# its neighbours: docs/ takes its pictures with TMPDIR an empty folder, such as
# TMPDIR=/srv/music.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
out=${1:-/tmp/quillet-shots}
cmake --build "$build" --target quillet-screenshots -j2 >/dev/null
shots=$build/bin/quillet-screenshots
mkdir -p "$out/hidpi" "$out/dark"
QT_QPA_PLATFORM=offscreen "$shots" "$out"
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$shots" "$out/hidpi" --desktop-only
QT_QPA_PLATFORM=offscreen "$shots" "$out/dark" --desktop-only --dark
echo "screenshots in $out"
