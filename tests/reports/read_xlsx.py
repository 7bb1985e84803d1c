"""Prints a workbook as JSON for the report tests: per sheet its cells (texts as strings, numbers
as {"n": value}), its rows as lines of the cells' texts, number formats other than General,
shaded rows and merged ranges; and the picture anchors read from the drawing parts (openpyxl skips pictures
without an imaging library)."""
import json
import re
import sys
import zipfile

import openpyxl

path = sys.argv[1]
# Opened as a stream: openpyxl refuses the ".xls" name the reports carry.
book = openpyxl.load_workbook(open(path, "rb"))
out = {"sheets": book.sheetnames, "active": book.active.title, "data": {}, "pictures": {}}
for sheet in book.worksheets:
    cells, shaded, formats, lines = {}, set(), {}, []
    for row in sheet.iter_rows():
        lines.append(" ".join(str(cell.value) for cell in row if cell.value is not None))
        for cell in row:
            if cell.value is not None:
                cells[cell.coordinate] = cell.value if isinstance(cell.value, str) else {"n": cell.value}
            if cell.number_format != "General":
                formats[cell.coordinate] = cell.number_format
            if cell.fill is not None and cell.fill.fill_type == "solid" and cell.fill.fgColor.rgb == "FFCDCDC1":
                shaded.add(cell.row)
    out["data"][sheet.title] = {
        "cells": cells,
        "lines": lines,
        "shaded": sorted(shaded),
        "formats": formats,
        "merged": sorted(str(r) for r in sheet.merged_cells.ranges),
    }

# Picture anchors: sheet -> [[row, column], ...], zero-based as the drawing stores them.
with zipfile.ZipFile(path) as archive:
    names = archive.namelist()
    workbook_xml = archive.read("xl/workbook.xml").decode()
    rels = archive.read("xl/_rels/workbook.xml.rels").decode()
    targets = dict(re.findall(r'Id="(rId\d+)"[^>]*Target="([^"]+)"', rels))
    targets.update({k: v for v, k in re.findall(r'Target="([^"]+)"[^>]*Id="(rId\d+)"', rels)})
    for name, rid in re.findall(r'<sheet name="([^"]+)"[^>]*r:id="(rId\d+)"', workbook_xml):
        sheet_path = "xl/" + targets[rid].lstrip("/").replace("xl/", "")
        sheet_rels = sheet_path.replace("worksheets/", "worksheets/_rels/") + ".rels"
        if sheet_rels not in names:
            continue
        for drawing in re.findall(r'Target="\.\./drawings/([^"]+)"', archive.read(sheet_rels).decode()):
            xml = archive.read("xl/drawings/" + drawing).decode()
            anchors = re.findall(r"<xdr:from><xdr:col>(\d+)</xdr:col>.*?<xdr:row>(\d+)</xdr:row>", xml)
            out["pictures"][name] = [[int(r), int(c)] for c, r in anchors]
print(json.dumps(out, ensure_ascii=False))
