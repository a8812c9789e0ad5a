#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Puts the licence and copyright lines at the top of source files that lack
them, in each file's own comment syntax: after a script's #! line, an XML
declaration or an editor's mode line, before everything else. Files that
already name their licence are left as they are, so running it again changes
nothing.

    python3 scripts/annotate.py            every file git knows or would add
    python3 scripts/annotate.py FILE...    just these

Files it has no comment syntax for (pictures, fuzz inputs, Markdown) are
covered by .reuse/dep5 instead; `reuse lint` shows any file left out.
"""
import fnmatch
import os
import subprocess
import sys

# Split so that tools scanning this file for licence tags do not read these.
TAG = "SPDX-" + "License-Identifier:"
LINES = (TAG + " GPL-2.0-or-later", "SPDX-" + "FileCopyrightText: 2026 The Quillet developers")

# (file name patterns, comment opener, comment closer), first match wins.
STYLES = [
    (("*.cpp", "*.h", "*.c"), "// ", ""),
    (("*.py", "*.sh", "*.bash", "*.cmake", "CMakeLists.txt", "Makefile", "*.supp",
      "*.desktop", "*.h2m", "lintian-overrides", ".gitignore", ".editorconfig",
      ".clang-format"), "# ", ""),
    (("*.xml", "*.qrc"), "<!-- ", " -->"),
]


def style(path, first_line):
    name = os.path.basename(path)
    for patterns, opener, closer in STYLES:
        if any(fnmatch.fnmatchcase(name, p) for p in patterns):
            return opener, closer
    if first_line.startswith("#!"):
        return "# ", ""
    return None


def annotate(path):
    """Returns True when the file was changed."""
    with open(path, "rb") as f:
        data = f.read()
    text = data.decode("utf-8", errors="surrogateescape")
    lines = text.splitlines(keepends=True)
    if any(TAG in line for line in lines[:5]):
        return False
    found = style(path, lines[0] if lines else "")
    if found is None:
        return False
    opener, closer = found
    newline = "\r\n" if lines and lines[0].endswith("\r\n") else "\n"
    header = "".join(opener + line + closer + newline for line in LINES)
    # A #! line, an XML declaration and an editor's mode line must stay first.
    keep = 1 if lines and (lines[0].startswith(("#!", "<?xml")) or "-*-" in lines[0]) else 0
    out = "".join(lines[:keep]) + header + "".join(lines[keep:])
    with open(path, "wb") as f:
        f.write(out.encode("utf-8", errors="surrogateescape"))
    return True


# Inputs whose every byte is the test: never touched, whatever their names.
SKIP = ("fuzz/seeds/*", "fuzz/regressions/*")


def repository_files():
    listed = subprocess.run(
        ["git", "ls-files", "--cached", "--others", "--exclude-standard", "-z"],
        check=True, capture_output=True).stdout
    return [p for p in listed.decode().split("\0")
            if p and os.path.isfile(p) and not any(fnmatch.fnmatchcase(p, s) for s in SKIP)]


def main():
    if len(sys.argv) > 1:
        paths = sys.argv[1:]
    else:
        os.chdir(subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True,
                                capture_output=True, text=True).stdout.strip())
        paths = repository_files()
    for path in paths:
        if annotate(path):
            print("annotated", path)


if __name__ == "__main__":
    main()
