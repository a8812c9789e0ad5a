#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# Checks a built quillet package beyond what lintian knows of it: every
# program has its manual page, the copyright file names the licence, the
# desktop files are where the desktop looks, the installed tree's metadata
# hangs together, Depends was worked out from the binaries, and removing the
# package can leave nothing behind.
set -euo pipefail
deb=$1
app_id=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

dpkg-deb -x "$deb" "$tree"
dpkg-deb -e "$deb" "$tree/DEBIAN"

for path in usr/share/applications/quillet.desktop \
    usr/share/icons/hicolor/scalable/apps/quillet.svg \
    "usr/share/metainfo/$app_id.metainfo.xml" \
    usr/share/bash-completion/completions/quillet-tag \
    usr/share/doc/quillet/copyright usr/share/doc/quillet/changelog.gz; do
    [ -f "$tree/$path" ] || fail "missing /$path"
done
for program in "$tree"/usr/bin/*; do
    name=$(basename "$program")
    [ -f "$tree/usr/share/man/man1/$name.1.gz" ] || fail "no manual page for $name"
done

# The licence is in the copyright file, and only there.
grep -qx 'License: GPL-2.0-or-later' "$tree/usr/share/doc/quillet/copyright" ||
    fail "the copyright file does not name the licence GPL-2.0-or-later"
[ ! -e "$tree/usr/share/doc/quillet/LICENSE" ] || fail "a second copy of the licence"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libjpeg62-turbo; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done

# Nothing but files under /usr: no maintainer scripts, no configuration files.
extra=$(ls "$tree/DEBIAN" | grep -vx -e control -e md5sums || true)
[ -z "$extra" ] || fail "control members beyond control and md5sums: $extra"
outside=$(cd "$tree" && find . -mindepth 1 -maxdepth 1 ! -name usr ! -name DEBIAN)
[ -z "$outside" ] || fail "files outside /usr: $outside"

rm -rf "$tree/DEBIAN"
appstreamcli validate-tree --no-net "$tree" || fail "appstreamcli validate-tree"

[ $failed -eq 0 ] && echo "package checks passed: $deb"
exit $failed
