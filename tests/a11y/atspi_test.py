#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Drives the real Quillet window through the AT-SPI bus, as a screen reader
does, and checks what a screen reader user meets: every action returns before
the box it opens, checkable buttons work by their Toggle action, texts and
pictures are readable, and the home folder is in view at start.

Run inside a session bus of its own (ctest does); it starts its own X server:
  dbus-run-session -- tests/a11y/atspi_test.py build/bin/quillet
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# An action that waited for a modal box would hold the call for the bus's
# whole timeout (25 s by default); a short one turns that into an error.
Atspi.set_timeout(4000, 20000)

results = []


def check(ok, what):
    results.append((bool(ok), what))
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    return ok


def wait_for(find, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    return None


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except gi.repository.GLib.Error:
        return []


def walk(node, depth=0):
    yield node
    # A node can go while the walk is on (a list refilled): its subtree with it.
    try:
        if depth > 30 or node.get_role_name() in ("table cell", "list item"):
            return
    except gi.repository.GLib.Error:
        return
    for child in children(node):
        if child is not None:
            yield from walk(child, depth + 1)


def find(root, role, name=None, showing=None):
    for node in walk(root):
        try:
            if node.get_role_name() != role or (name is not None and node.get_name() != name):
                continue
            if showing is not None and has(node, Atspi.StateType.SHOWING) != showing:
                continue
            return node
        except gi.repository.GLib.Error:
            continue
    return None


def has(node, state):
    return node.get_state_set().contains(state)


def actions(node):
    return [Atspi.Action.get_action_name(node, i) for i in range(Atspi.Action.get_n_actions(node))]


def act(node, name):
    """Runs the named action; False when the call did not return in time."""
    try:
        return Atspi.Action.do_action(node, actions(node).index(name))
    except gi.repository.GLib.Error as e:
        print(f"        {name} on {node.get_name()!r}: {e.message}")
        return False


def answer_box(app, text, button):
    """Finds the box showing text and presses one of its buttons."""
    def box():
        for node in walk(app):
            # A node can go while the walk is on (a box closing): it is no box.
            try:
                if node.get_role_name() in ("dialog", "alert") and has(node,
                                                                       Atspi.StateType.SHOWING):
                    if find(node, "label", text):
                        return node
            except gi.repository.GLib.Error:
                continue
        return None
    found = wait_for(box, 10)
    if found:
        act(find(found, "push button", button), "Press")
        wait_for(lambda: not has(found, Atspi.StateType.SHOWING) or None, 10)
    return found is not None


def bmp(width, height):
    row = (width * 3 + 3) & ~3
    pixels = b"\x80" * row * height
    return (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0) +
            pixels)


def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])


def song_with_picture():
    picture = b"image/bmp\0\x03cover\0" + bmp(400, 300)
    frame = b"APIC" + syncsafe(len(picture) + 1) + b"\0\0" + b"\0" + picture
    return b"ID3\4\0\0" + syncsafe(len(frame)) + frame + b"\xff\xfb\x90\x00" * 256


def start_x_server():
    """An X server on a display number it picks itself, told once it is ready."""
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=(told,), stderr=subprocess.DEVNULL)
    os.close(told)
    # The number comes with a line break, perhaps in two writes; the pipe
    # stays open while the server runs, or its next write would fail it.
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(ready, 16)
    server.told = ready
    os.environ["DISPLAY"] = ":" + number.decode().strip()
    return server


def main():
    program = os.path.abspath(sys.argv[1])
    server = start_x_server()
    work = tempfile.mkdtemp(prefix="quillet-a11y-")
    # The program keeps its settings and Temp beside itself: a copy runs in a
    # folder of its own. The home folder lies deep, below the tree's first screen.
    shutil.copy(program, work)
    home = os.path.join(work, "zz", "home")
    os.makedirs(home)
    for n in range(40):  # above the home folder in the tree, to go during the run
        os.makedirs(os.path.join(work, "zz", f"a{n:02}"))
    for name in ("song.mp3", "gone.mp3"):
        with open(os.path.join(home, name), "wb") as f:
            f.write(song_with_picture())
    env = dict(os.environ, HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    log = open(os.path.join(work, "stderr.log"), "w+")
    proc = subprocess.Popen([os.path.join(work, os.path.basename(program))], env=env, cwd=work,
                            stderr=log)
    try:
        run_checks(proc, home)
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
        log.seek(0)
        said = log.read()
        if os.environ.get("A11Y_DEBUG"): print(said[-2000:])
        log.close()
        warnings = [line for line in said.splitlines()
                    if "QAccessible" in line or "invalid tree cell" in line]
        check(not warnings, f"the accessibility layer warns of nothing ({len(warnings)}: "
              f"{warnings[:3]})")
        shutil.rmtree(work, ignore_errors=True)
        server.terminate()
        server.wait()
        os.close(server.told)
    failed = sum(1 for ok, _ in results if not ok)
    print(f"\n{len(results) - failed} passed, {failed} failed")
    return 1 if failed or not results else 0


def run_checks(proc, home):
    desktop = Atspi.get_desktop(0)

    def application():
        for app in children(desktop):
            if app is not None and "quillet" in (app.get_name() or "").lower():
                return app
        return None
    app = wait_for(application, 30)
    if not check(app, "the window appears on the accessibility bus"):
        return
    frame = wait_for(lambda: find(app, "frame", "Quillet v1.2"), 10)
    check(frame, "the main window is named \"Quillet v1.2\"")
    names = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    check('"Quillet v1.2"' in names and "Quillet v. 1.2" not in names,
          "the title bar reads \"Quillet v1.2\" alone")

    # The home folder is chosen in the tree and scrolled into view.
    folders = find(app, "tree", "Folders")

    def chosen_folder():
        for cell in children(folders):
            if cell.get_role_name() == "table cell" and has(cell, Atspi.StateType.SELECTED):
                return cell
        return None
    home_row = wait_for(chosen_folder, 10)
    check(home_row and home_row.get_name() == "home" and wait_for(
        lambda: has(home_row, Atspi.StateType.SHOWING) or None, 10),
        "the home folder is chosen and scrolled into view at start")
    # Folders above it go and others come: it stays in view, and the cells
    # handed out before name no rows that are gone (warnings checked at the end).
    for n in range(40):
        os.rmdir(os.path.join(os.path.dirname(home), f"a{n:02}"))
    os.makedirs(os.path.join(os.path.dirname(home), "b"))
    time.sleep(1)
    home_row = wait_for(chosen_folder, 10)
    check(home_row and home_row.get_name() == "home" and wait_for(
        lambda: has(home_row, Atspi.StateType.SHOWING) or None, 10),
        "the home folder stays in view while folders above it come and go")

    # Actions that open a box return first; the box comes after.
    for tool in ("Play File", "Delete File"):
        button = find(app, "push button", tool)
        check(act(button, "Press"), f"\"{tool}\" without a row returns")
        check(answer_box(app, "Please select file from selection list", "OK"),
              f"\"{tool}\" without a row shows its box")
    check(act(find(app, "push button", "Kill Tag"), "Press"), "\"Kill Tag\" without a row returns")
    tab = find(app, "page tab", "ZuRur v. 2.4")
    check(act(tab, "Press"), "the editor tab without a row returns")
    check(answer_box(app, "Please select file from selection list", "OK"),
          "the editor tab without a row shows its refusal")
    tabs = find(app, "page tab list")
    check(wait_for(lambda: tabs.get_name() == "Mp3 File" or None, 10),
          "the refused tab change goes back to \"Mp3 File\"")

    # Two files into the selection list, through the file view.
    files = find(app, "tree", "MP3 files")
    wait_for(lambda: Atspi.Table.get_n_rows(files) >= 2 or None, 10)
    Atspi.Table.add_row_selection(files, 0)
    Atspi.Table.add_row_selection(files, 1)
    act(find(app, "push button", "Add to list"), "Press")
    selection = find(app, "tree", "Selection List")
    check(wait_for(lambda: Atspi.Table.get_n_rows(selection) == 2 or None, 10),
          "two files reach the selection list")
    Atspi.Table.add_row_selection(selection, 1)  # song.mp3 (the rows are sorted: gone, song)
    for tool, question in (("Kill Tag", "Do you realy want to kill tag from selected file?"),
                           ("Delete File",
                            "Do you realy want to move this file to the trash?")):
        check(act(find(app, "push button", tool), "Press"), f"\"{tool}\" with a row returns")
        check(answer_box(app, question, "No"), f"\"{tool}\" asks after it returned")

    # A file that cannot be read: the tab change returns, then the error shows.
    os.remove(os.path.join(home, "gone.mp3"))
    Atspi.Table.add_row_selection(selection, 0)
    check(act(tab, "Press"), "the editor tab on a missing file returns")
    check(answer_box(app, "File not found.", "OK"), "the read error shows after it returned")

    # Checkable tool buttons work by their Toggle action.
    renamer = find(app, "check box", "Turbo Renamer")
    check("Toggle" in actions(renamer) and "Press" not in actions(renamer),
          "\"Turbo Renamer\" offers Toggle, not Press")
    act(renamer, "Toggle")
    check(wait_for(lambda: find(app, "push button", "Rename files in selection list",
                                showing=True), 10), "toggling \"Turbo Renamer\" shows the renamer")
    preview = find(app, "label", ".mp3")
    check(preview and preview.get_description() == "Renamed File Name",
          "the renamer's preview is read by its text")
    lists = [c for c in children(find(app, "combo box", "Frame name:"))
             if c.get_role_name() == "list"]
    check(lists and lists[0].get_name(), "the \"Frame name:\" list has a name")
    browser = find(app, "check box", "File Browser")
    act(browser, "Toggle")
    check(wait_for(lambda: find(app, "push button", "Add to list", showing=True), 10),
          "toggling \"File Browser\" shows the selection page")

    Atspi.Table.add_row_selection(selection, 1)  # song.mp3
    act(tab, "Press")
    check(wait_for(lambda: find(app, "push button", "Write Tag", showing=True), 10),
          "the editor opens on a file")
    for page, shows in (("Personal Information", ("text", "Artist")),
                        ("Miscellaneous", ("combo box", "Language")), ("Images", ("tree", "Images"))):
        act(find(app, "check box", page), "Toggle")
        check(wait_for(lambda: find(app, shows[0], shows[1], showing=True), 10),
              f"toggling \"{page}\" shows its page")
    for combo in ("Genre", "Language", "Initial Key"):
        fields = [c for c in children(find(app, "combo box", combo)) if c.get_role_name() == "text"]
        check(fields and fields[0].get_name() == combo, f"the text field of \"{combo}\" has a name")

    # The picture preview is an image described by its size.
    images = find(app, "tree", "Images")
    Atspi.Table.add_row_selection(images, 0)
    picture = wait_for(lambda: find(app, "image", "Picture", showing=True), 10)
    check(picture and "400 by 300" in picture.get_description(),
          "the preview is an image described by the picture's size")
    for radio, shown in (("Original Size", "shown at 400 by 300"),
                         ("Fit to Window", "shown at 257 by 193")):
        button = find(app, "radio button", radio)
        act(button, "Toggle")
        check(picture and wait_for(lambda: shown in picture.get_description() or None, 10),
              f"toggling \"{radio}\" sizes the preview")

    # The report views are built again for the file read anew, the picture
    # list while its row is selected (what a screen reader asks meanwhile must
    # find rows that exist: the warnings are checked at the end).
    for _ in range(3):
        act(find(app, "push button", "Cancel editing"), "Press")
        wait_for(lambda: find(app, "push button", "Add to list", showing=True), 10)
        act(tab, "Press")
        check(wait_for(lambda: find(app, "push button", "Write Tag", showing=True), 10),
              "the editor opens on the file again")
        Atspi.Table.add_row_selection(images, 0)

    # A field changed since the read gets its mark, and says so itself.
    act(find(app, "check box", "Audio Description"), "Toggle")
    album = wait_for(lambda: find(app, "text", "Album", showing=True), 10)
    check(album and Atspi.EditableText.set_text_contents(album, "Another album") and wait_for(
        lambda: find(app, "label", "Album changed", showing=True), 10),
        "a changed field shows a mark named after it")
    check(album and album.get_description() == "changed", "a changed field is described so")
    check(find(app, "push button", "Write changes to all", showing=True),
          "\"Write changes to all\" stands beside \"Write for all\"")

    # No focusable control without a name.
    unnamed = []
    for node in walk(app):
        try:
            role = node.get_role_name()
            if (has(node, Atspi.StateType.FOCUSABLE) and not node.get_name() and
                    role not in ("table cell", "tree item", "list item", "page tab list",
                                 "scroll bar", "viewport", "filler", "panel")):
                unnamed.append(role)
        except gi.repository.GLib.Error:
            continue
    check(not unnamed, f"every focusable control has a name (without: {unnamed})")


if __name__ == "__main__":
    sys.exit(main())
