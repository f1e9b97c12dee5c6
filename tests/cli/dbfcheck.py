"""Compares a dBASE table, as python3-dbfread reads it, value by value with the SQLite table it
was exported from (read by Python's sqlite3 module). Prints "checked N rows" or the differences.

Usage: dbfcheck.py DATABASE TABLE EXPORTED.dbf [COLUMN,COLUMN...]
"""
import datetime
import sqlite3
import sys

import dbfread

db, table, path = sys.argv[1:4]
con = sqlite3.connect(db)
columns = sys.argv[4] if len(sys.argv) > 4 else '*'
cur = con.execute('SELECT ' + columns + ' FROM "%s"' % table.replace('"', '""'))
names = [d[0] for d in cur.description]
src = cur.fetchall()
dbf = dbfread.DBF(path, encoding='utf-8', char_decode_errors='strict')
rows = list(dbf)

bad = []
if [f.name for f in dbf.fields] != [n.upper()[:10] for n in names]:
    bad.append('fields %r' % [f.name for f in dbf.fields])
if dbf.header.numrecords != len(src) or len(rows) != len(src):
    bad.append('records %d/%d, source %d' % (dbf.header.numrecords, len(rows), len(src)))


declared = {r[1]: r[2].upper() for r in
            con.execute('SELECT * FROM pragma_table_info(?)', (table,))}


def as_text(name, want):
    # A date-time written as text (DateTimeAsText) always shows its time, midnight included.
    if declared.get(name, '').startswith(('DATETIME', 'TIMESTAMP')) and want is not None:
        try:
            return datetime.datetime.fromisoformat(str(want)).strftime('%Y-%m-%d %H:%M:%S')
        except ValueError:
            pass
    return '' if want is None else str(want)


def same(name, field, got, want):
    if field.type == 'C':
        return got == as_text(name, want)
    if field.type == 'N':
        if want is None:
            # A NULL integer is a blank field; a NULL float is written as 0.
            return got is None or (field.decimal_count > 0 and got == 0)
        return got is not None and abs(got - want) <= 0.5 * 10 ** -field.decimal_count + 1e-9
    if field.type == 'D':
        if want is None:
            return got is None
        return got.isoformat() == str(want)[:10]
    if field.type == 'L':
        return got == bool(want) if want is not None else got is None
    if field.type == 'M':
        return (got or '') == (want or '')
    return False


for got, want in zip(rows, src):
    for name, field, w in zip(names, dbf.fields, want):
        g = got[field.name]
        if not same(name, field, g, w):
            bad.append('%s.%s: %r != %r' % (table, field.name, g, w))
print('\n'.join(bad) if bad else 'checked %d rows' % len(src))
