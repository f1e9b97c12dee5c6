# Compares an .xlsx workbook with the CSV export of the same table: openpyxl's typed cells
# (numbers as numbers, dates as dates, Booleans, texts, bold captions), and LibreOffice's own CSV
# conversion of the workbook, value by value.
import csv, datetime, subprocess, sys, os, tempfile
import openpyxl

xlsx, path, table = sys.argv[1:4]
with open(path, newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
book = openpyxl.load_workbook(xlsx)
sheet = book.worksheets[0]
assert sheet.title == table, sheet.title
bad = []
got = list(sheet.iter_rows())
assert len(got) == len(rows), (len(got), len(rows))
for c, cell in enumerate(got[0]):
    if not cell.font.b or cell.value != rows[0][c]:
        bad.append('caption %d: %r bold=%r' % (c, cell.value, cell.font.b))
for r, want_row in enumerate(rows[1:], 1):
    for c, want in enumerate(want_row):
        v = got[r][c].value if c < len(got[r]) else None
        if v is None:
            ok = want == ''
        elif isinstance(v, bool):
            ok = want == ('True' if v else 'False')
        elif isinstance(v, datetime.datetime):
            ok = want == (v.strftime('%Y-%m-%d') if len(want) == 10 else
                          v.strftime('%Y-%m-%d %H:%M:%S'))
        elif isinstance(v, datetime.time):
            ok = want == v.strftime('%H:%M:%S')
        elif isinstance(v, (int, float)):
            ok = want != '' and abs(float(want) - v) < 1e-9 * max(1, abs(v))
        else:
            ok = v == want
        if not ok:
            bad.append('%d,%d: %r != %r' % (r, c, v, want))

# LibreOffice writes the cells as the number formats show them: the formats the export was given
# make those texts the CSV export's own.
out = tempfile.mkdtemp()
convert = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'support',
                       'office-convert')
converted = subprocess.run([convert, out, 'csv:Text - txt - csv (StarCalc):44,34,76', xlsx],
                           check=True, capture_output=True, text=True).stdout.strip()
with open(converted, newline='', encoding='utf-8') as f:
    office = list(csv.reader(f))
assert len(office) == len(rows), (len(office), len(rows))
for r, (a, b) in enumerate(zip(office, rows)):
    a = [x.upper() if x in ('TRUE', 'FALSE') else x for x in a]
    b = [x.upper() if x in ('True', 'False') else x for x in b]
    if a != b:
        bad.append('LibreOffice row %d: %r != %r' % (r, a, b))
for line in bad:
    print(table, line)
print('checked', len(rows) - 1, 'rows' if not bad else 'ROWS WITH ERRORS')
