#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""scripts/annotate.py over a scratch repository of one file of each kind:
the licence lines go where each kind wants them, in its comment syntax and
line ends; files it has no syntax for and fuzz inputs stay as they are; a
second run changes nothing.
    annotate_test.py SCRIPT
"""
import os
import subprocess
import sys
import tempfile

LICENCE = "SPDX-" + "License-Identifier: GPL-2.0-or-later"
HOLDER = "SPDX-" + "FileCopyrightText: 2026 The Quillet developers"
GIVEN = "# " + LICENCE + "\n# " + HOLDER + "\nprint()\n"


def lines(opener, closer="", end="\n"):
    return opener + LICENCE + closer + end + opener + HOLDER + closer + end


# (path, bytes before, bytes after)
CASES = [
    ("src/a.h", "#pragma once\n", lines("// ") + "#pragma once\n"),
    ("src/crlf.cpp", "int x;\r\n", lines("// ", end="\r\n") + "int x;\r\n"),
    ("run", "#!/bin/sh\necho\n", "#!/bin/sh\n" + lines("# ") + "echo\n"),
    ("CMakeLists.txt", "project(x)\n", lines("# ") + "project(x)\n"),
    ("m.xml", '<?xml version="1.0"?>\n<a/>\n',
     '<?xml version="1.0"?>\n' + lines("<!-- ", " -->") + "<a/>\n"),
    ("c.bash", "# c  -*- sh -*-\nx\n", "# c  -*- sh -*-\n" + lines("# ") + "x\n"),
    ("done.py", GIVEN, GIVEN),
    ("notes.md", "# Notes\n", "# Notes\n"),
    ("fuzz/seeds/x/input.py", "#!/x\n", "#!/x\n"),
    ("fuzz/regressions/x/crash", "#!/x\n", "#!/x\n"),
]


def main():
    script = os.path.abspath(sys.argv[1])
    failed = False
    with tempfile.TemporaryDirectory() as repo:
        subprocess.run(["git", "init", "-q", repo], check=True)
        for path, before, _ in CASES:
            os.makedirs(os.path.join(repo, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(repo, path), "w", newline="") as f:
                f.write(before)
        for run in (1, 2):
            out = subprocess.run([sys.executable, script], cwd=repo, check=True,
                                 capture_output=True, text=True).stdout
            if run == 2 and out:
                print("FAIL: a second run changed files:\n" + out)
                failed = True
        for path, _, after in CASES:
            with open(os.path.join(repo, path), newline="") as f:
                got = f.read()
            if got != after:
                print(f"FAIL: {path}:\n{got!r}\nwanted\n{after!r}")
                failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
