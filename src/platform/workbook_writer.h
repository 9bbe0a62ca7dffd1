#pragma once

#include <QByteArray>
#include <QString>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A one-sheet .xlsx workbook, written through libxlsxwriter in its
// constant-memory mode: each finished row goes to a scratch file at once, so
// memory stays flat however many rows there are. The price is a fixed order:
// rows strictly top to bottom (a merged range counts as written in its first
// row). Column widths are kept apart from the rows and written ahead of them
// when close() assembles the file, so they may be set at any time before it.
//
// The first failure is remembered and later calls do nothing; close() reports it.
class WorkbookWriter {
public:
    enum class Align { General, Centre };

    // Starts a workbook that close() saves to `path`; the library's scratch
    // files go to `scratchDir`. Both paths are passed to the library as UTF-8.
    WorkbookWriter(const QString &path, const QString &scratchDir);
    // An unclosed workbook is discarded without writing anything.
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter &) = delete;
    WorkbookWriter &operator=(const WorkbookWriter &) = delete;

    // Rows and columns count from 0.
    void setColumnWidth(int column, double width);
    void mergeText(int row, int firstColumn, int lastColumn, const QString &text, Align align);
    void writeText(int row, int column, const QString &text, Align align);
    void writeNumber(int row, int column, double value, Align align);

    // Writes the file. False when it or any earlier call failed.
    bool close();
    // Why the workbook failed, empty while all is well.
    QString errorText() const { return error_; }

private:
    bool usable() const { return book_ != nullptr && error_.isEmpty(); }
    lxw_format *formatFor(Align align) const;
    void check(int result);

    QByteArray path_;
    QByteArray scratchDir_;
    lxw_workbook *book_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    lxw_format *centre_ = nullptr;
    QString error_;
};
