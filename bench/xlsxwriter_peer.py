#!/usr/bin/python3
# The peer of the .xlsx benchmark: python3-xlsxwriter in its constant-memory mode writing the same
# typed cells from the same query as morvale-export --type xlsx (captions in bold, numbers, texts,
# dates, date-times and flags with the same number formats).
#   xlsxwriter_peer.py DATABASE ROWS OUTPUT
import datetime
import sqlite3
import sys

import xlsxwriter

db, rows, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
con = sqlite3.connect(db)
cur = con.execute("SELECT * FROM bench WHERE id <= ?", (rows,))
names = [d[0] for d in cur.description]

book = xlsxwriter.Workbook(out, {"constant_memory": True})
f = book.add_format
font = {"font_name": "arial", "font_size": 10}
bold = f(dict(font, bold=True))
integer = f(dict(font, num_format="#,###,##0"))
money = f(dict(font, num_format="#,###,##0.00"))
day = f(dict(font, num_format="yyyy-mm-dd"))
stamp = f(dict(font, num_format="yyyy-mm-dd hh:mm"))
plain = f(font)

sheet = book.add_worksheet("Sheet 1")
for c, n in enumerate(names):
    sheet.write_string(0, c, n, bold)
row = 1
for rec in cur:
    sheet.write_number(row, 0, rec[0], integer)
    sheet.write_string(row, 1, rec[1], plain)
    sheet.write_string(row, 2, rec[2], plain)
    sheet.write_number(row, 3, rec[3], integer)
    sheet.write_number(row, 4, rec[4], money)
    sheet.write_number(row, 5, rec[5], money)
    sheet.write_datetime(row, 6, datetime.datetime.fromisoformat(rec[6]), day)
    sheet.write_datetime(row, 7, datetime.datetime.fromisoformat(rec[7]), stamp)
    sheet.write_boolean(row, 8, bool(rec[8]), plain)
    sheet.write_string(row, 9, rec[9], plain)
    row += 1
book.close()
