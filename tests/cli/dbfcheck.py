"""Compares a dBASE table, as python3-dbfread reads it, value by value with the SQLite table it
was exported from (read by Python's sqlite3 module). Prints "checked N rows" or the differences.

Usage: dbfcheck.py DATABASE TABLE EXPORTED.dbf
"""
import sqlite3
import sys

import dbfread

db, table, path = sys.argv[1:4]
con = sqlite3.connect(db)
cur = con.execute('SELECT * FROM ' + table)
names = [d[0] for d in cur.description]
src = cur.fetchall()
dbf = dbfread.DBF(path, encoding='utf-8', char_decode_errors='strict')
rows = list(dbf)

bad = []
if [f.name for f in dbf.fields] != [n.upper()[:10] for n in names]:
    bad.append('fields %r' % [f.name for f in dbf.fields])
if dbf.header.numrecords != len(src) or len(rows) != len(src):
    bad.append('records %d/%d, source %d' % (dbf.header.numrecords, len(rows), len(src)))


def same(field, got, want):
    if field.type == 'C':
        return got == ('' if want is None else str(want))
    if field.type == 'N':
        if want is None:
            # A NULL integer is a blank field; a NULL float is written as 0.
            return got is None or (field.decimal_count > 0 and got == 0)
        return got is not None and abs(got - want) <= 0.5 * 10 ** -field.decimal_count + 1e-9
    if field.type == 'D':
        if want is None:
            return got is None
        # A time alone is a time on day 0 of the calendar, 30 December 1899.
        day = '1899-12-30' if len(str(want)) <= 12 and ':' in str(want) else str(want)[:10]
        return got.isoformat() == day
    if field.type == 'L':
        return got == bool(want) if want is not None else got is None
    if field.type == 'M':
        return (got or '') == (want or '')
    return False


for got, want in zip(rows, src):
    for field, w in zip(dbf.fields, want):
        g = got[field.name]
        if not same(field, g, w):
            bad.append('%s.%s: %r != %r' % (table, field.name, g, w))
print('\n'.join(bad) if bad else 'checked %d rows' % len(src))
