#!/usr/bin/python3
"""Prints the data rows of an exported .xlsx, .xls or .dbf file as their readers give them.

Usage: typed_read.py FILE

One line per data row (the caption row skipped), the values as Python's repr, joined by ' | ':
openpyxl for .xlsx, xlrd for .xls (date cells as xlrd's datetime), dbfread for .dbf (its
numbers as the digits of their fields).
"""

import sys


def xlsx(path):
    import openpyxl

    sheet = openpyxl.load_workbook(path).active
    return list(sheet.iter_rows(min_row=2, values_only=True))


def xls(path):
    import xlrd

    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    rows = []
    for r in range(1, sheet.nrows):
        row = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_DATE:
                row.append(xlrd.xldate_as_datetime(cell.value, book.datemode))
            elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                row.append(bool(cell.value))
            elif cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                row.append(None)
            else:
                row.append(cell.value)
        rows.append(row)
    return rows


def dbf(path):
    import dbfread

    # Numbers as the digits the N field holds: dbfread's float would hide the last ones.
    table = dbfread.DBF(path)
    raw = dbfread.DBF(path, raw=True)
    numeric = [f.type == "N" for f in table.fields]
    return [
        [r[1].strip().decode() if n and r[1].strip() else v for v, r, n in zip(c.values(), w.items(), numeric)]
        for c, w in zip(table, raw)
    ]


path = sys.argv[1]
reader = {"xlsx": xlsx, "xls": xls, "dbf": dbf}[path.rsplit(".", 1)[1]]
for row in reader(path):
    print(" | ".join(repr(v) for v in row))
