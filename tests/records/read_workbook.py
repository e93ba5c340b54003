#!/usr/bin/python3
"""Prints a workbook's first sheet as JSON: cell values with their types and formats, column
widths, sheet count. Dates and times are given in ISO 8601.

The workbook is opened through a file object, so that a ".xls" name is read by its content.
"""
import json
import sys

import openpyxl

with open(sys.argv[1], "rb") as stream:
    book = openpyxl.load_workbook(stream)
sheet = book.worksheets[0]
cells = {}
for row in sheet.iter_rows():
    for cell in row:
        fill = cell.fill
        cells[cell.coordinate] = {
            "value": cell.value,
            "size": cell.font.sz,
            "bold": bool(cell.font.b),
            "fill": fill.fgColor.rgb if fill.fill_type == "solid" else None,
            "align": cell.alignment.horizontal,
            "type": cell.data_type,
            "format": cell.number_format,
        }
widths = {key: dim.width for key, dim in sheet.column_dimensions.items()}
json.dump({"sheets": len(book.worksheets), "cells": cells, "widths": widths,
           "max_row": sheet.max_row}, sys.stdout, ensure_ascii=False,
          default=lambda moment: moment.isoformat())
