#!/usr/bin/env python3
# markdown_check.py HTML CSV [SEPARATOR]: the table pandoc rendered from a Markdown export (HTML) holds the
# same cells as the CSV export of the same table, captions included, in the same order: every
# cell's text intact, a line break as <br>. Prints the first cells that differ and exits 1.
import csv
import html.parser
import sys


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.cell, self.tables = [], None, 0

    def handle_starttag(self, tag, attrs):
        if tag == 'table':
            self.tables += 1
        elif tag == 'tr':
            self.rows.append([])
        elif tag in ('td', 'th'):
            self.cell = ''
        elif tag == 'br' and self.cell is not None:
            self.cell += '\n'

    def handle_endtag(self, tag):
        if tag in ('td', 'th'):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is None:
            return
        if self.cell.endswith('\n') and data.startswith('\n'):
            data = data[1:]  # the source line break after <br />
        self.cell += data


def main():
    page = Cells()
    page.feed(open(sys.argv[1], encoding='utf-8').read())
    with open(sys.argv[2], encoding='utf-8', newline='') as f:
        rows = csv.reader(f, delimiter=sys.argv[3] if len(sys.argv) > 3 else ',')
        expected = [[c.replace('\r\n', '\n').strip() for c in row] for row in rows]
    if page.tables != 1:
        print(f'{page.tables} tables rendered, not one')
        return 1
    got = [[c.strip() for c in row] for row in page.rows]
    if len(got) != len(expected):
        print(f'{len(got)} rows rendered, {len(expected)} in the CSV')
        return 1
    bad = 0
    for r, (g, e) in enumerate(zip(got, expected)):
        if g != e:
            print(f'row {r}: rendered {g!r}\n        CSV {e!r}')
            bad += 1
    return 1 if bad else 0


sys.exit(main())
