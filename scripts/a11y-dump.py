#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Lists every control of the running Quillet window as assistive technology
sees it over AT-SPI: role, name, description, and whether a focusable control
has no name. Run inside a session bus with the program started beside it:
  xvfb-run -a dbus-run-session -- bash -c \
    'QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 build/bin/quillet & sleep 4; scripts/a11y-dump.py'
tests/a11y/atspi_test.py checks what a screen reader user meets.
"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

UNNAMED_OK = {"filler", "panel", "scroll bar", "separator", "page tab list", "table cell",
              "tree item", "list item", "table column header", "menu", "unknown",
              "redundant object", "label", "viewport", "scroll pane", "tool bar", "layered pane"}
ROWS = ("table cell", "tree item", "list item")


def walk(node, depth, problems):
    try:
        role = node.get_role_name()
        name = node.get_name() or ""
        description = node.get_description() or ""
        states = node.get_state_set()
    except gi.repository.GLib.Error:
        return
    showing = states.contains(Atspi.StateType.SHOWING)
    mark = ""
    if states.contains(Atspi.StateType.FOCUSABLE) and not name and role not in UNNAMED_OK:
        mark = "   <-- no name"
        problems.append(f"{role} at depth {depth}")
    if role not in ROWS or depth < 12:
        print(f"{'  ' * depth}{role}: {name!r}" + (f" ({description})" if description else "")
              + ("" if showing else " (hidden)") + mark)
    if role in ("tree", "tree table", "table", "list"):
        return
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1, problems)


def main():
    desktop = Atspi.get_desktop(0)
    problems = []
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and "quillet" in (app.get_name() or "").lower():
            walk(app, 0, problems)
    print(f"\n{len(problems)} focusable controls without a name")
    for p in problems:
        print("  ", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
