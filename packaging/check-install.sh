#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# Installs a build twice into a scratch prefix that already holds a folder and
# a file of its own, checks that what belongs to the program is there and the
# Debian package's own files are not, uninstalls it once, and checks that the
# prefix is as it was: nothing left behind, nothing of its own taken. Then the
# same into a prefix that does not exist yet.
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
# Every path with its type and mode, and each file's size.
tree() { (cd "$prefix" && find . -type f -printf '%p f %m %s\n' -o -printf '%p %y %m\n' | LC_ALL=C sort); }

mkdir -p "$prefix/bin" "$prefix/share/applications"
echo '[Desktop Entry]' >"$prefix/share/applications/other.desktop"
before=$(tree)

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
cmake --install "$build" --prefix "$prefix" >>"$scratch/install.log"
for path in bin/quillet bin/quillet-tag libexec/quillet/quillet-picture \
    share/applications/quillet.desktop share/icons/hicolor/scalable/apps/quillet.svg \
    share/metainfo share/bash-completion/completions/quillet-tag \
    share/man/man1/quillet.1.gz share/man/man1/quillet-tag.1.gz share/doc/quillet/LICENSE; do
    [ -e "$prefix/$path" ] || fail "the install lacks $path"
done
for path in share/lintian share/doc/quillet/copyright share/doc/quillet/changelog.gz; do
    [ ! -e "$prefix/$path" ] || fail "the Debian package's $path installed outside it"
done

cmake --build "$build" --target uninstall >"$scratch/uninstall.log"
grep -q "Uninstalling Quillet from $prefix " "$scratch/uninstall.log" ||
    fail "the uninstall does not say it takes Quillet out of $prefix"
after=$(tree)
diff <(echo "$before") <(echo "$after") >&2 || fail "the prefix is not as it was before the install"

# A prefix that did not exist: the install makes it and the folders above it,
# the uninstall takes them all out again.
cmake --install "$build" --prefix "$scratch/new/prefix" >"$scratch/install.log"
cmake --build "$build" --target uninstall >"$scratch/uninstall.log"
[ ! -e "$scratch/new" ] || fail "the uninstall left the folders the install made for its prefix"

[ $failed -eq 0 ] && echo "install and uninstall passed: $prefix"
exit $failed
