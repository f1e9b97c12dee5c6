"""Reads the rows of the first HTML table in a page (standard input) and compares them with the
rows a query gives on an SQLite database: htmlrows.py DATABASE QUERY [EXTRA_COLUMN_VALUE ...].
An empty or NULL value is a no-break space on the page. Prints what differs; exit status 1 then."""
import html.parser
import sqlite3
import sys


class Table(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self.cell = ""

    def handle_endtag(self, tag):
        if tag == "td" and self.cell is not None:
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


page = Table()
page.feed(sys.stdin.read())
got = page.rows[1:]  # the first row holds the captions
db = sqlite3.connect(sys.argv[1])
want = []
for row in db.execute(sys.argv[2]):
    cells = ["\xa0" if v is None or str(v) == "" else str(v) for v in row]
    want.append(cells + sys.argv[3:])
if got != want:
    print("captions:", page.rows[:1])
    for g, w in zip(got + [None] * len(want), want + [None] * len(got)):
        if g != w:
            print("page: ", g, "\nquery:", w)
    sys.exit(1)
print(len(got), "rows equal")
