#!/usr/bin/env python3
"""Lists every control of the running Quillet window as assistive technology
sees it over AT-SPI: role, name, and whether a focusable control has no name.
Run inside a session bus with the program started beside it, for example:
  xvfb-run -a dbus-run-session -- bash -c \
    'QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 build/bin/quillet & sleep 4; /usr/bin/python3 scripts/a11y-dump.py'
"""
import sys
import pyatspi

UNNAMED_OK = {"filler", "panel", "scroll bar", "separator", "page tab list", "table cell",
              "tree item", "list item", "table column header", "menu", "unknown", "redundant object",
              "label", "text", "viewport", "scroll pane", "tool bar", "layered pane"}


def walk(node, depth, problems):
    try:
        role = node.getRoleName()
        name = node.name or ""
        states = node.getState()
    except Exception:
        return
    focusable = states.contains(pyatspi.STATE_FOCUSABLE)
    showing = states.contains(pyatspi.STATE_SHOWING)
    mark = ""
    if focusable and not name and role not in UNNAMED_OK:
        mark = "   <-- no name"
        problems.append(f"{role} at depth {depth}")
    if role not in ("table cell", "tree item", "list item") or depth < 12:
        print(f"{'  ' * depth}{role}: {name!r}{'' if showing else ' (hidden)'}{mark}")
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None and role not in ("tree", "tree table", "table", "list"):
            walk(child, depth + 1, problems)


desktop = pyatspi.Registry.getDesktop(0)
problems = []
for app in desktop:
    if app is None or "quillet" not in (app.name or "").lower():
        continue
    walk(app, 0, problems)
print(f"\n{len(problems)} focusable controls without a name")
for p in problems:
    print("  ", p)
sys.exit(1 if problems else 0)
