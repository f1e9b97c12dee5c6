"""Prints a dBASE table as python3-dbfread reads it, one line per fact, for the tests to compare.

Usage: dbfdump.py TABLE.dbf [ENCODING]
"""
import sys

import dbfread

path = sys.argv[1]
encoding = sys.argv[2] if len(sys.argv) > 2 else 'utf-8'
table = dbfread.DBF(path, encoding=encoding, char_decode_errors='strict')
print('version=%#04x' % table.header.dbversion)
print('records=%d' % table.header.numrecords)
for f in table.fields:
    print('field %s %s %d %d' % (f.name, f.type, f.length, f.decimal_count))
for record in table:
    print('|'.join('%s=%r' % (k, v) for k, v in record.items()))
