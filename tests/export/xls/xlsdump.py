#!/usr/bin/python3
# Reads a workbook with independent readers (olefile for the container, xlrd for the BIFF8
# records) and prints what they see, one fact per line, for the tests to compare.
import sys

import olefile
import xlrd


def text(v):
    return repr(v) if isinstance(v, str) else repr(float(v))


def main(path):
    ole = olefile.OleFileIO(path)
    print("streams:", ",".join("/".join(s) for s in ole.listdir()))
    ole.close()
    book = xlrd.open_workbook(path, formatting_info=True)
    print("datemode:", book.datemode)
    print("fonts:", len(book.font_list), "xfs:", len(book.xf_list))
    kinds = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
             xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "bool", xlrd.XL_CELL_ERROR: "error",
             xlrd.XL_CELL_BLANK: "blank"}
    for si in range(book.nsheets):
        sh = book.sheet_by_index(si)
        print("sheet %d %r rows=%d cols=%d" % (si, sh.name, sh.nrows, sh.ncols))
        for c in sorted(sh.colinfo_map):
            print("colwidth %d %d" % (c, sh.colinfo_map[c].width))
        for r in range(sh.nrows):
            for c in range(sh.row_len(r)):
                cell = sh.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                xf = book.xf_list[cell.xf_index]
                font = book.font_list[xf.font_index]
                fmt = book.format_map[xf.format_key].format_str
                print("cell %d %d %s %s xf=%d bold=%d fmt=%r" % (
                    r, c, kinds[cell.ctype], text(cell.value), cell.xf_index,
                    font.bold and font.weight == 700, fmt))


if __name__ == "__main__":
    main(sys.argv[1])
