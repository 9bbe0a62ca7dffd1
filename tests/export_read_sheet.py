"""Prints what a spreadsheet file holds, as JSON, for the export tests.

Usage: export_read_sheet.py <file>

The output has the first bytes of the file in hex, the main content type of
an Office Open XML package (null for other files), the merged ranges of the
first sheet, every cell with its value, type and horizontal alignment, and the
column widths. A .xls file is first converted to .xlsx by LibreOffice, since
openpyxl reads only the XML formats.
"""

import json
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

import openpyxl

CONTENT_TYPES = "[Content_Types].xml"
TYPES_NS = "{http://schemas.openxmlformats.org/package/2006/content-types}"


def main_content_type(path):
    if not zipfile.is_zipfile(path):
        return None
    with zipfile.ZipFile(path) as package:
        root = ElementTree.fromstring(package.read(CONTENT_TYPES))
    for override in root.iter(TYPES_NS + "Override"):
        if override.get("PartName") == "/xl/workbook.xml":
            return override.get("ContentType")
    return None


def as_xlsx(path, scratch):
    """Path of an openpyxl-readable copy of the file."""
    if not path.lower().endswith(".xls"):
        return path
    subprocess.run(
        ["soffice", "--headless", "--norestore",
         "-env:UserInstallation=file://" + os.path.join(scratch, "profile"),
         "--convert-to", "xlsx", "--outdir", scratch, path],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    stem = os.path.splitext(os.path.basename(path))[0]
    return os.path.join(scratch, stem + ".xlsx")


def describe(path):
    with open(path, "rb") as f:
        head = f.read(8).hex()
    with tempfile.TemporaryDirectory() as scratch:
        book = openpyxl.load_workbook(as_xlsx(path, scratch))
        sheet = book.worksheets[0]
        cells = [[{"v": cell.value,
                   "t": type(cell.value).__name__,
                   "h": cell.alignment.horizontal}
                  for cell in row]
                 for row in sheet.iter_rows()]
        widths = {letter: dim.width for letter, dim in sheet.column_dimensions.items()}
        return {
            "head": head,
            "mainType": main_content_type(path),
            "sheets": len(book.worksheets),
            "merged": sorted(str(r) for r in sheet.merged_cells.ranges),
            "cells": cells,
            "widths": widths,
        }


if __name__ == "__main__":
    json.dump(describe(sys.argv[1]), sys.stdout, ensure_ascii=False)
