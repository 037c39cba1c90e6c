#!/usr/bin/env python3
"""Reads a table report and the same run's CSV or JSON Lines report, these with Python's own parsers.
Usage: forms_agree.py TABLE FORM WIDTH real|integer. Ends with 0 when positions and values agree."""
import csv
import io
import json
import math
import sys

table_path, form_path, width, kind = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
number = float if kind == "real" else int


def same(a, b):
    return a == b or (kind == "real" and math.isnan(a) and math.isnan(b))


def table_rows(data):
    """Each line: the position in hexadecimal, then per file a separator, the value's text, "  $", the hexadecimal
    digits and the value's bytes between quotes (which may hold any byte, so the line is read by its lengths)."""
    rows = []
    for line in data.split(b"\r\n")[1:-1]:
        at = line.index(b"  ")
        position, values = int(line[:at], 16), []
        at += 2
        while at < len(line):
            assert line[at:at + 2] == b" \xb3", line
            dollar = line.index(b"  $", at)
            values.append(number(line[at + 2:dollar].decode().strip()))
            at = dollar + 3 + 2 * width + 2 + width + 1
        rows.append((position, values))
    return rows


def form_rows(data):
    if data.startswith(b"offset,"):
        records = list(csv.reader(io.StringIO(data.decode("utf-8", "surrogateescape"), newline="")))
        assert data.endswith(b"\r\n") and records[0][0] == "offset", data[:80]
        return [(int(r[0]), [number(v) for v in r[1:]]) for r in records[1:]]
    lines = [json.loads(line) for line in data.decode("utf-8").split("\n")[:-1]]
    assert lines[0]["width"] == width and lines[0]["real"] == (kind == "real"), lines[0]
    return [(o["offset"], [float(v) if isinstance(v, str) else v for v in o["values"]]) for o in lines[1:]]


expected = table_rows(open(table_path, "rb").read())
actual = form_rows(open(form_path, "rb").read())
for (p, values), (q, others) in zip(expected, actual):
    if p != q or len(values) != len(others) or not all(same(a, b) for a, b in zip(values, others)):
        sys.exit(f"position {p}: table {values}, other form at {q}: {others}")
if len(expected) != len(actual):
    sys.exit(f"{len(expected)} table lines, {len(actual)} other lines")
