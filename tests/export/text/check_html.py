"""Parses HTML pages with Python's html.parser and prints one line per file: the number of
caption and data rows, the class of every data row (O for TrOdd, E for TrRows), the number of
navigation tables and links, the links that name no existing file, and the tags left open or
closed out of order. With --cells, a second line per file lists the data cells' texts."""
import json
import os
import sys
from html.parser import HTMLParser

VOID = {"br", "link", "meta", "img", "hr", "input", "col", "area", "base", "wbr"}


class Checker(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.errors, self.links = [], [], []
        self.captions = self.rows = self.navs = 0
        self.classes, self.cells, self.row = [], [], None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        if tag == "table" and a.get("border") == "0":
            self.navs += 1
        if tag == "tr":
            self.row = None
        if tag == "td" and self.row is None and a.get("class") in ("ThRows", "TrOdd", "TrRows"):
            self.row = a["class"]
            if self.row == "ThRows":
                self.captions += 1
            else:
                self.rows += 1
                self.classes.append(self.row)
        if tag not in VOID:
            self.stack.append(tag)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if self.stack and self.stack[-1] == tag:
            self.stack.pop()
        else:
            self.errors.append("</%s> while <%s> is open" % (tag, self.stack[-1] if self.stack else ""))

    def handle_data(self, data):
        if self.stack and self.stack[-1] == "td" and self.row in ("TrOdd", "TrRows"):
            self.cells.append(data)


cells = sys.argv[1] == "--cells"
for path in sys.argv[2 if cells else 1:]:
    c = Checker()
    with open(path, encoding="utf-8") as f:
        c.feed(f.read())
    c.close()
    c.errors += ["<%s> not closed" % t for t in c.stack]
    folder = os.path.dirname(path)
    missing = [h for h in c.links if not os.path.isfile(os.path.join(folder, h))]
    print("%s captions=%d rows=%d classes=%s navs=%d links=%d missing=%s errors=%s" % (
        os.path.basename(path), c.captions, c.rows,
        "".join("O" if k == "TrOdd" else "E" for k in c.classes), c.navs, len(c.links),
        ",".join(missing), ";".join(c.errors)))
    if cells:
        print(json.dumps(c.cells, ensure_ascii=False))
