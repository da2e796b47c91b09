# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Fills the window of a running torvane through the desktop's accessibility bus, as a
screen reader user's tools would: finds each field by its spoken name, types the worked
example into it key by key, presses Calculate and reads the 30 results back by what each
cell says it holds, which is also the start of its name. Exits 0 when every figure is the one expected."""
import sys
import time

import pyatspi

from worked_example import FIELDS, RESULTS, spoken

TITLE = "Torvane - Quillon Assistant"


def wait_for(what, find, seconds=20.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"gave up waiting for {what}")


def find_frame():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for child in app:
            if child is not None and child.name == TITLE:
                return child
    return None


def within(obj):
    """Everything inside, at any depth: the controls stand in the areas of the window."""
    found = []
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        found += [child] + within(child)
    return found


def text_of(obj):
    text = obj.queryText()
    return text.getText(0, text.characterCount)


def type_into(field, value):
    field.queryComponent().grabFocus()
    for ch in value:
        pyatspi.Registry.generateKeyboardEvent(ord(ch), None, pyatspi.KEY_SYM)
    wait_for(f"'{value}' in {field.name}", lambda: text_of(field) == value, 5.0)


def main():
    frame = wait_for("the window", find_frame)
    if frame.getRole() != pyatspi.ROLE_FRAME:
        sys.exit(f"the window is a {frame.getRoleName()}, not a frame")
    children = within(frame)
    fields = {c.name: c for c in children if c.getRole() == pyatspi.ROLE_TEXT}
    buttons = {c.name: c for c in children if c.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    cells = {c.description: c for c in children
             if c.getRole() == pyatspi.ROLE_LABEL and c.description}
    if sorted(fields) != sorted(name for name, _ in FIELDS):
        sys.exit(f"fields by name: {sorted(fields)}")
    if sorted(buttons) != ["Calculate", "Clear", "Print"]:
        sys.exit(f"buttons by name: {sorted(buttons)}")
    if sorted(cells) != sorted(RESULTS):
        sys.exit(f"cells by description: {sorted(cells)}")
    if any(cell.name != d for d, cell in cells.items()):
        sys.exit("the cells are not empty before Calculate")

    for name, value in FIELDS:
        type_into(fields[name], value)
    calculate = buttons["Calculate"].queryAction()
    press = [calculate.getName(i) for i in range(calculate.nActions)].index("Press")
    calculate.doAction(press)
    wait_for("the results", lambda: all(cells[d].name != d for d in RESULTS))

    # Each cell is named by what it holds and then by its figure.
    wrong = [f"{d}: {cells[d].name!r}, expected {d}, {spoken(want)!r}"
             for d, want in RESULTS.items() if cells[d].name != f"{d}, {spoken(want)}"]
    for d in RESULTS:
        print(f"{d:30} {cells[d].name}")
    if wrong:
        sys.exit("wrong results:\n" + "\n".join(wrong))
    print("all 30 results read back through the accessibility bus")


main()
