#!/usr/bin/python3
"""Checks a workbook that harlune-cli.exe wrote under Wine, cell by cell.

    check_workbook.py BOOK.xlsx --first A --last B [--reference REF.xlsx]

Without a reference it checks what is known from the range alone: the title
"Harlune" merged over A1:E1, the header row, one row per group labelled
NO:A to NO:B in order and nothing after them, reading and time texts in B to
E and a whole number in F. With a reference (the same range read by the Linux
harlune-cli from the same simulated instrument, whose groups are a pure
function of their number) every cell and every merged range must be equal.

Prints each difference, at most a screenful, and exits 1 when there is one.
"""

import argparse
import sys

import openpyxl

TITLE = "Harlune"
TITLE_MERGE = "A1:E1"
HEADERS = ["组数", "一路电流", "二路电流", "三路电流", "时间", "电量"]
HEADER_ROW = 2
FIRST_DATA_ROW = 3
COLUMNS = len(HEADERS)
READING_COLUMNS = range(2, 5)  # B to D
TIME_COLUMN = 5  # E
CHARGE_COLUMN = 6  # F
# The time text begins with two blanks and the century ("  20" or "  200").
TIME_PREFIX = "  20"
MOST_REPORTED = 20


def cell_name(row, column):
    return f"{openpyxl.utils.get_column_letter(column)}{row}"


def check_layout(sheet, first, last):
    problems = []
    if sheet["A1"].value != TITLE:
        problems.append(f"A1 is {sheet['A1'].value!r}, not {TITLE!r}")
    merged = {str(r) for r in sheet.merged_cells.ranges}
    if TITLE_MERGE not in merged:
        problems.append(f"the title is not merged over {TITLE_MERGE} (merged: {sorted(merged)})")
    header = [sheet.cell(HEADER_ROW, c).value for c in range(1, COLUMNS + 1)]
    if header != HEADERS:
        problems.append(f"the header row is {header}, not {HEADERS}")
    groups = last - first + 1
    data_rows = sheet.max_row - FIRST_DATA_ROW + 1
    if data_rows != groups:
        problems.append(f"{data_rows} data rows for the {groups} groups {first} to {last}")
    for offset in range(groups):
        row = FIRST_DATA_ROW + offset
        label = sheet.cell(row, 1).value
        if label != f"NO:{first + offset}":
            problems.append(f"{cell_name(row, 1)} is {label!r}, not 'NO:{first + offset}'")
        for column in READING_COLUMNS:
            value = sheet.cell(row, column).value
            if not isinstance(value, str) or not value.strip():
                problems.append(f"{cell_name(row, column)} holds no reading text: {value!r}")
        time = sheet.cell(row, TIME_COLUMN).value
        if not isinstance(time, str) or not time.startswith(TIME_PREFIX):
            problems.append(f"{cell_name(row, TIME_COLUMN)} holds no time text: {time!r}")
        charge = sheet.cell(row, CHARGE_COLUMN).value
        if not isinstance(charge, int) or isinstance(charge, bool):
            problems.append(f"{cell_name(row, CHARGE_COLUMN)} holds no whole number: {charge!r}")
    return problems


def compare_with_reference(sheet, reference):
    problems = []
    rows = max(sheet.max_row, reference.max_row)
    columns = max(sheet.max_column, reference.max_column)
    for row in range(1, rows + 1):
        for column in range(1, columns + 1):
            got = sheet.cell(row, column).value
            want = reference.cell(row, column).value
            if got != want:
                problems.append(f"{cell_name(row, column)} is {got!r}, the reference has {want!r}")
    merged = sorted(str(r) for r in sheet.merged_cells.ranges)
    merged_reference = sorted(str(r) for r in reference.merged_cells.ranges)
    if merged != merged_reference:
        problems.append(f"merged ranges {merged}, the reference has {merged_reference}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("workbook")
    parser.add_argument("--first", type=int, required=True)
    parser.add_argument("--last", type=int, required=True)
    parser.add_argument("--reference")
    args = parser.parse_args()

    sheet = openpyxl.load_workbook(args.workbook).worksheets[0]
    problems = check_layout(sheet, args.first, args.last)
    if args.reference:
        reference = openpyxl.load_workbook(args.reference).worksheets[0]
        problems += compare_with_reference(sheet, reference)

    for problem in problems[:MOST_REPORTED]:
        print(f"check_workbook: {problem}")
    if len(problems) > MOST_REPORTED:
        print(f"check_workbook: ... and {len(problems) - MOST_REPORTED} more")
    cells = (args.last - args.first + 1) * COLUMNS
    compared = "against the reference" if args.reference else "without a reference"
    print(f"check_workbook: {cells} data cells checked {compared}, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
