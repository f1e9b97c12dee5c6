"""Prints the cells of a workbook's first sheet as xlrd reads them, one per line:
ROW COL KIND VALUE bold=B borders=LRTB (rows and columns from 1, as the spreadsheet counts)."""
import sys

import xlrd

KINDS = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "date",
         xlrd.XL_CELL_BOOLEAN: "bool", xlrd.XL_CELL_BLANK: "blank"}

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
for r in range(sheet.nrows):
    for c in range(sheet.row_len(r)):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_EMPTY:
            continue
        xf = book.xf_list[cell.xf_index]
        b = xf.border
        borders = "".join(str(s) for s in (b.left_line_style, b.right_line_style,
                                            b.top_line_style, b.bottom_line_style))
        value = cell.value if cell.ctype == xlrd.XL_CELL_TEXT else repr(float(cell.value))
        print("%d %d %s %s bold=%d borders=%s" % (r + 1, c + 1, KINDS[cell.ctype], value,
                                                 book.font_list[xf.font_index].bold, borders))
