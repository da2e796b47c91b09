# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Fills the window of a running torvane through the desktop's accessibility bus, as a
screen reader user's tools would: finds each field by its spoken name, types the worked
example into it key by key, presses Calculate and reads the 30 results back by what each
cell says it holds, which is also the start of its name. Exits 0 when every figure is the one expected."""
import sys
import time

import pyatspi

TITLE = "Torvane - Quillon Assistant"

FIELDS = [
    ("Big End 1", "296"), ("Big End 2", "302"), ("Big End 3", "296"), ("Big End 4", "297.5"),
    ("Big End 5", "298"), ("Big End 6", "304"), ("Big End 7", "303"), ("Big End 8", "300"),
    ("Little End 1", "104"), ("Little End 2", "98"), ("Little End 3", "98"),
    ("Little End 4", "99"), ("Little End 5", "104"), ("Little End 6", "97"),
    ("Little End 7", "103"), ("Little End 8", "97"),
    ("Piston A", "199"), ("Piston B", "196.5"), ("Piston C", "199.5"), ("Piston D", "207.5"),
    ("Piston E", "206.5"), ("Piston F", "198"), ("Piston G", "207"), ("Piston H", "196"),
    ("Rings", "10"), ("Locks", "2"), ("Shells", "20"), ("Oil", "4"), ("Recip. %", "50"),
]

RESULTS = {
    "Rod, row 1": "3", "Piston, row 1": "D", "Rod, row 2": "4", "Piston, row 2": "G",
    "Rod, row 3": "1", "Piston, row 3": "E", "Rod, row 4": "8", "Piston, row 4": "C",
    "Rod, row 5": "5", "Piston, row 5": "A", "Rod, row 6": "2", "Piston, row 6": "F",
    "Rod, row 7": "6", "Piston, row 7": "B", "Rod, row 8": "7", "Piston, row 8": "H",
    "Optimal pin 1 rods": "8  7", "Optimal pin 1 bob-weight": "956.75",
    "Optimal pin 2 rods": "3  1", "Optimal pin 2 bob-weight": "956",
    "Optimal pin 3 rods": "5  6", "Optimal pin 3 bob-weight": "956.25",
    "Optimal pin 4 rods": "2  4", "Optimal pin 4 bob-weight": "956.5",
    "Retaining pin 1 bob-weight": "957.25", "Retaining pin 2 bob-weight": "955.25",
    "Retaining pin 3 bob-weight": "956.25", "Retaining pin 4 bob-weight": "956.75",
    "Balance using, optimal": "956", "Balance using, retaining": "955.25",
}


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


def spoken(figure):
    """A figure as the window names it to a screen reader: two rods, "8  7", as "8 and 7"."""
    return " and ".join(figure.split())


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
