# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The worked example as a user meets it, for the tests that drive the real program from
outside (through the desktop's accessibility bus, in a browser): the 29 fields by their spoken
names in the order Tab walks them, with what is typed into each, and the 30 result cells by
what each says it holds, with the figure it shows after Calculate."""

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


def spoken(figure):
    """A figure as the window names it to a screen reader: two rods, "8  7", as "8 and 7"."""
    return " and ".join(figure.split())
