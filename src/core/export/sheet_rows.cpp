#include "core/export/sheet_rows.h"

#include "core/records/group_record.h"
#include "core/records/reading_format.h"

#include <QCoreApplication>

#include <algorithm>

namespace sheet_rows {

namespace {

// Years below this are written with an extra 0: year 5 becomes 2005.
constexpr int kTwoDigitYear = 10;
// The longest prefix, six fields of up to three digits and five separators.
constexpr int kLongestTimeText = 5 + 6 * 3 + 5;

constexpr int kChannels = 3;
constexpr int kLabelColumn = 0;
constexpr int kFirstReadingColumn = 1;
constexpr int kTimeColumn = 4;

// Room left beside the widest cell, in character units, so that the text does
// not touch the cell border.
constexpr double kWidthMargin = 1.0;

constexpr int kWideCells = 2;

// Code point ranges that East Asian fonts draw two cells wide: Hangul Jamo,
// CJK radicals to Yi (except the half-width ideographic space mark), Hangul
// syllables, CJK compatibility ideographs, vertical and compatibility forms,
// fullwidth forms and the supplementary ideograph planes.
struct Range {
    char32_t first;
    char32_t last;
};
constexpr Range kWideRanges[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3040, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD},
};

bool isWide(char32_t c)
{
    if (c < kWideRanges[0].first)
        return false;  // the common case: Latin text, digits, blanks
    for (const Range &r : kWideRanges) {
        if (c >= r.first && c <= r.last)
            return true;
    }
    return false;
}

}  // namespace

// Translated when asked for, not once for the program: a text made before
// the translators are installed would stay in the source language.
std::array<QString, kColumnCount> headers()
{
    return {
        QCoreApplication::translate("sheet_rows", "组数"),
        QCoreApplication::translate("sheet_rows", "一路电流"),
        QCoreApplication::translate("sheet_rows", "二路电流"),
        QCoreApplication::translate("sheet_rows", "三路电流"),
        QCoreApplication::translate("sheet_rows", "时间"),
        QCoreApplication::translate("sheet_rows", "电量"),
    };
}

QString groupLabel(qint32 group) { return QStringLiteral("NO:") + QString::number(group); }

QString timeText(const GroupRecord &record, quint8 secFlag)
{
    // Built in one buffer: this runs once per exported group.
    char text[kLongestTimeText];
    int n = 0;
    const auto put = [&](const char *part) {
        while (*part != '\0')
            text[n++] = *part++;
    };
    const auto number = [&](int value) {
        if (value >= 100)
            text[n++] = char('0' + value / 100);
        if (value >= 10)
            text[n++] = char('0' + value / 10 % 10);
        text[n++] = char('0' + value % 10);
    };
    put(record.year < kTwoDigitYear ? "  200" : "  20");
    number(record.year);
    text[n++] = '/';
    number(record.month);
    text[n++] = '/';
    number(record.day);
    text[n++] = '/';
    number(record.hour);
    text[n++] = ':';
    number(record.minute);
    if (secFlag == record_store::kWithSeconds) {
        text[n++] = ':';
        number(record.second);
    }
    return QString::fromLatin1(text, n);
}

RowCells rowCells(qint32 group, const GroupRecord &record, quint8 secFlag)
{
    RowCells row;
    row.texts[kLabelColumn] = groupLabel(group);
    for (int channel = 0; channel < kChannels; ++channel) {
        row.texts[kFirstReadingColumn + channel] =
            reading_format::formatReading(record.val[channel], record.stat[channel]);
    }
    row.texts[kTimeColumn] = timeText(record, secFlag);
    row.charge = record.charge;
    return row;
}

int displayWidth(const QString &text)
{
    int cells = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        cells += isWide(c) ? kWideCells : 1;
    }
    return cells;
}

ColumnFit::ColumnFit()
{
    const std::array<QString, kColumnCount> header = headers();
    for (int column = 0; column < kColumnCount; ++column)
        addText(column, header[column]);
}

void ColumnFit::addText(int column, const QString &text)
{
    cells_[column] = std::max(cells_[column], displayWidth(text));
}

void ColumnFit::addNumber(int column, int value)
{
    cells_[column] = std::max(cells_[column], int(QString::number(value).size()));
}

void ColumnFit::addRow(const RowCells &row)
{
    for (int column = 0; column < kTextColumnCount; ++column)
        addText(column, row.texts[column]);
    addNumber(kChargeColumn, row.charge);
}

double ColumnFit::width(int column) const { return cells_[column] + kWidthMargin; }

}  // namespace sheet_rows
