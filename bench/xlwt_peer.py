#!/usr/bin/python3
# The peer of the workbook benchmark: python3-xlwt writing the same typed cells from the same
# query as morvale-export --type xls (captions in bold, numbers, texts, dates, date-times and
# flags with the same number formats), continuing on a new sheet every 65,535 records.
#   xlwt_peer.py DATABASE ROWS OUTPUT
import datetime
import sqlite3
import sys

import xlwt

db, rows, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
con = sqlite3.connect(db)
cur = con.execute("SELECT * FROM bench WHERE id <= ?", (rows,))
names = [d[0] for d in cur.description]

bold = xlwt.easyxf("font: bold on")
integer = xlwt.easyxf(num_format_str="#,###,##0")
money = xlwt.easyxf(num_format_str="#,###,##0.00")
day = xlwt.easyxf(num_format_str="yyyy-mm-dd")
stamp = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm")
plain = xlwt.easyxf()

book = xlwt.Workbook(encoding="utf-8")
sheet, row, part = None, 0, 0
for rec in cur:
    if sheet is None or row == 65536:
        part += 1
        sheet = book.add_sheet("Sheet 1" if part == 1 else "Sheet 1 (%d)" % part)
        for c, n in enumerate(names):
            sheet.write(0, c, n, bold)
        row = 1
    w = sheet.write
    w(row, 0, rec[0], integer)
    w(row, 1, rec[1], plain)
    w(row, 2, rec[2], plain)
    w(row, 3, rec[3], integer)
    w(row, 4, rec[4], money)
    w(row, 5, rec[5], money)
    w(row, 6, datetime.date.fromisoformat(rec[6]), day)
    w(row, 7, datetime.datetime.fromisoformat(rec[7]), stamp)
    w(row, 8, bool(rec[8]), plain)
    w(row, 9, rec[9], plain)
    row += 1
book.save(out)
