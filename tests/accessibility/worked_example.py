# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The worked example (tests/worked-example.tsv) as a user meets it, for the tests that drive
the real program from outside (through the desktop's accessibility bus, in a browser): the 29
fields by their spoken names in the order Tab walks them, with what is typed into each, and
the 30 result cells by what each says it holds, with the figure it shows after Calculate;
figures with a decimal full stop (FIELDS, RESULTS) or with the separator asked for."""
import pathlib

EXAMPLE = pathlib.Path(__file__).resolve().parent.parent / "worked-example.tsv"

# What each result cell says it holds, in reading order.
DESCRIPTIONS = [
    ("Label29", "Rod, row 1"), ("Label28", "Piston, row 1"),
    ("Label30", "Rod, row 2"), ("Label33", "Piston, row 2"),
    ("Label31", "Rod, row 3"), ("Label34", "Piston, row 3"),
    ("Label32", "Rod, row 4"), ("Label35", "Piston, row 4"),
    ("Label39", "Rod, row 5"), ("Label38", "Piston, row 5"),
    ("Label40", "Rod, row 6"), ("Label43", "Piston, row 6"),
    ("Label41", "Rod, row 7"), ("Label44", "Piston, row 7"),
    ("Label42", "Rod, row 8"), ("Label45", "Piston, row 8"),
    ("Label52", "Optimal pin 1 rods"), ("Label62", "Optimal pin 1 bob-weight"),
    ("Label55", "Optimal pin 2 rods"), ("Label63", "Optimal pin 2 bob-weight"),
    ("Label56", "Optimal pin 3 rods"), ("Label64", "Optimal pin 3 bob-weight"),
    ("Label57", "Optimal pin 4 rods"), ("Label65", "Optimal pin 4 bob-weight"),
    ("Label66", "Retaining pin 1 bob-weight"), ("Label67", "Retaining pin 2 bob-weight"),
    ("Label68", "Retaining pin 3 bob-weight"), ("Label69", "Retaining pin 4 bob-weight"),
    ("Label71", "Balance using, optimal"), ("Label73", "Balance using, retaining"),
]


def _records(kind, decimal):
    """(name, text) of every record of the kind, in the file's order, with the decimal
    separator given: a full stop or a comma."""
    column = {".": 2, ",": 3}[decimal]
    found = []
    for line in EXAMPLE.read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            record = line.split("\t")
            if len(record) != 4:
                raise ValueError(f"{EXAMPLE}: not four tab-separated columns: {line!r}")
            if record[0] == kind:
                found.append((record[1], record[column]))
    return found


def _spoken_name(field):
    """A field as the window names it: Bigend1 as "Big End 1", Recip as "Recip. %"."""
    for prefix, said in (("Bigend", "Big End "), ("Littleend", "Little End "),
                         ("Piston", "Piston ")):
        if field.startswith(prefix):
            return said + field[len(prefix):]
    return "Recip. %" if field == "Recip" else field


def typed(decimal="."):
    """The 29 fields by their object names (Bigend1), with what is typed into each."""
    return _records("field", decimal)


def fields(decimal="."):
    return [(_spoken_name(name), text) for name, text in _records("field", decimal)]


def results(decimal="."):
    shown = dict(_records("cell", decimal))
    return {description: shown[cell] for cell, description in DESCRIPTIONS}


FIELDS = fields()
RESULTS = results()


def spoken(figure):
    """A figure as the window names it to a screen reader: two rods, "8  7", as "8 and 7"."""
    return " and ".join(figure.split())
