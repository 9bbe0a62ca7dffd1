#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Workbooks as a spreadsheet program reads them: tests/export_read_sheet.py
// on /usr/bin/python3 with openpyxl, which tells each cell's value, type and
// alignment, the merged ranges and the column widths.
struct Sheet {
    QJsonObject raw;
    QJsonArray rows() const { return raw.value(QStringLiteral("cells")).toArray(); }
    QJsonObject cell(int row, int column) const  // 1-based, like the sheet
    {
        return rows().at(row - 1).toArray().at(column - 1).toObject();
    }
    QJsonValue value(int row, int column) const
    {
        return cell(row, column).value(QStringLiteral("v"));
    }
    QString type(int row, int column) const
    {
        return cell(row, column).value(QStringLiteral("t")).toString();
    }
    QString align(int row, int column) const
    {
        return cell(row, column).value(QStringLiteral("h")).toString();
    }
    QStringList merged() const;
    double width(const QString &column) const
    {
        return raw.value(QStringLiteral("widths")).toObject().value(column).toDouble();
    }
};

Sheet readSheet(const QString &path);
// The reader itself, found through HARLUNE_SOURCE_DIR.
QString sheetReaderScript();

// Why a workbook cannot be read back here, or null when it can.
const char *missingSheetReader();
// Why .xls and .xlsm cannot be written or read back here, or null when they can.
const char *missingLibreOffice();

// A file of these bytes; false when it could not be written.
bool writeFile(const QString &path, const QByteArray &content);
// Everything in a folder, hidden files included: what a save left behind.
QStringList filesIn(const QString &dir);
