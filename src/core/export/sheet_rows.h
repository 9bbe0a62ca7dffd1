#pragma once

#include "core/records/group_record.h"

#include <QString>

#include <array>

// The contents of the exported sheet: the title, the header row, the texts of
// one group's row, and the column widths that fit them. No spreadsheet library
// here, so the layout can be checked cell by cell.
namespace sheet_rows {

// Rows and columns counted from 0 (row 0 is the title row, column 0 is A).
constexpr int kTitleRow = 0;
constexpr int kHeaderRow = 1;
constexpr int kFirstDataRow = 2;
constexpr int kColumnCount = 6;      // A to F
constexpr int kTitleLastColumn = 4;  // the title is merged over A to E
constexpr int kTextColumnCount = 5;  // A to E hold centred texts
constexpr int kChargeColumn = 5;     // F holds the charge as a number

// The header row, in the language of the program's texts.
std::array<QString, kColumnCount> headers();

// One data row: the texts of columns A to E and the number of column F.
struct RowCells {
    std::array<QString, kTextColumnCount> texts;
    int charge = 0;
};

// "NO:" followed by the group number.
QString groupLabel(qint32 group);

// "  20yy/m/d/h:mm" style time text: "  200" before a one-digit year, "  20"
// otherwise, numbers without leading zeros, ":" and the second only when
// `secFlag` is 1.
QString timeText(const GroupRecord &record, quint8 secFlag);

RowCells rowCells(qint32 group, const GroupRecord &record, quint8 secFlag);

// Width of a text in character cells: a wide (CJK, fullwidth) character takes
// two, every other character one.
int displayWidth(const QString &text);

// Column widths that fit the cells, the way a spreadsheet's auto-fit does:
// the widest cell of each column plus a margin. The merged title does not count.
class ColumnFit {
public:
    ColumnFit();
    void addText(int column, const QString &text);
    void addNumber(int column, int value);
    void addRow(const RowCells &row);
    // Width in the spreadsheet's character units.
    double width(int column) const;

private:
    std::array<int, kColumnCount> cells_{};
};

}  // namespace sheet_rows
