"""Prints the cells of an exported file as JSON rows of strings, read by Python's own readers:
csv for comma- and tab-delimited text, openpyxl for workbooks. Numbers of a workbook are
printed with repr so the test can compare them as numbers."""
import csv
import json
import sys

path, kind = sys.argv[1], sys.argv[2]
if kind == "xlsx":
    import openpyxl

    sheet = openpyxl.load_workbook(path, read_only=True).active
    rows = [["" if v is None else repr(v) if isinstance(v, (int, float)) else str(v) for v in row]
            for row in sheet.iter_rows(values_only=True)]
else:
    with open(path, newline="", encoding="utf-8-sig") as f:
        rows = list(csv.reader(f, delimiter="," if kind == "csv" else "\t"))
json.dump(rows, sys.stdout)
