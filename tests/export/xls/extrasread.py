#!/usr/bin/python3
# Reads the extras of a workbook with readers nobody here wrote and prints them one per line:
#   extrasread.py xlrd BOOK.xls     notes, hyperlinks and merged ranges as xlrd sees them
#   extrasread.py openpyxl BOOK.xlsx  what openpyxl finds in LibreOffice's conversion: comments,
#                                     hyperlinks, merged ranges, images and charts
import sys
import warnings


def with_xlrd(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    for si in range(book.nsheets):
        sh = book.sheet_by_index(si)
        for (r, c), note in sorted(sh.cell_note_map.items()):
            print("note %d %d %r" % (r, c, note.text))
        for h in sh.hyperlink_list:
            print("link %d %d %r %r %r" % (h.frowx, h.fcolx, h.desc, h.url_or_path, h.quicktip))
        for m in sorted(sh.merged_cells):
            print("merged %d %d %d %d" % m)
        for r in range(sh.nrows):
            for c in range(sh.row_len(r)):
                cell = sh.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT and "\n" in cell.value:
                    wrap = book.xf_list[cell.xf_index].alignment.text_wrapped
                    print("multiline %d %d %r wrap=%d" % (r, c, cell.value, wrap))


def title_text(title):
    if title is None or title.tx is None or title.tx.rich is None:
        return ""
    return "".join(run.t for p in title.tx.rich.p for run in (p.r or []))


def with_openpyxl(path):
    import openpyxl
    warnings.simplefilter("ignore")
    book = openpyxl.load_workbook(path)
    for ws in book.worksheets:
        for row in ws.iter_rows():
            for cell in row:
                if cell.comment:
                    print("comment %s %r" % (cell.coordinate, cell.comment.text))
                if cell.hyperlink:
                    print("link %s %r" % (cell.coordinate, cell.hyperlink.target))
        for m in sorted(str(r) for r in ws.merged_cells.ranges):
            print("merged %s" % m)
        for image in ws._images:
            print("image %d %d" % (image.anchor._from.col, image.anchor._from.row))
        for chart in ws._charts:
            refs = []
            for s in chart.series:
                cat = s.cat and (s.cat.numRef or s.cat.strRef)
                refs.append("%s|%s" % (s.val.numRef.f if s.val else "", cat.f if cat else ""))
            print("chart %s %r %s" % (type(chart).__name__, title_text(chart.title), " ".join(refs)))


if __name__ == "__main__":
    {"xlrd": with_xlrd, "openpyxl": with_openpyxl}[sys.argv[1]](sys.argv[2])
