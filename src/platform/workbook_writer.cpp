#include "platform/workbook_writer.h"

#include <xlsxwriter.h>

WorkbookWriter::WorkbookWriter(const QString &path, const QString &scratchDir)
    : path_(path.toUtf8()), scratchDir_(scratchDir.toUtf8())
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchDir_.data();
    book_ = workbook_new_opt(path_.constData(), &options);
    if (book_ != nullptr)
        sheet_ = workbook_add_worksheet(book_, nullptr);
    if (book_ != nullptr)
        centre_ = workbook_add_format(book_);
    if (sheet_ == nullptr || centre_ == nullptr) {
        error_ = QStringLiteral("cannot start a workbook (scratch folder %1)").arg(scratchDir);
        return;
    }
    format_set_align(centre_, LXW_ALIGN_CENTER);
}

WorkbookWriter::~WorkbookWriter()
{
    if (book_ != nullptr)
        lxw_workbook_free(book_);
}

lxw_format *WorkbookWriter::formatFor(Align align) const
{
    return align == Align::Centre ? centre_ : nullptr;
}

void WorkbookWriter::check(int result)
{
    if (result != LXW_NO_ERROR && error_.isEmpty())
        error_ = QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(result)));
}

void WorkbookWriter::setColumnWidth(int column, double width)
{
    if (usable())
        check(worksheet_set_column(sheet_, lxw_col_t(column), lxw_col_t(column), width, nullptr));
}

void WorkbookWriter::mergeText(int row, int firstColumn, int lastColumn, const QString &text,
                               Align align)
{
    if (usable()) {
        check(worksheet_merge_range(sheet_, lxw_row_t(row), lxw_col_t(firstColumn), lxw_row_t(row),
                                    lxw_col_t(lastColumn), text.toUtf8().constData(),
                                    formatFor(align)));
    }
}

void WorkbookWriter::writeText(int row, int column, const QString &text, Align align)
{
    if (usable()) {
        check(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column),
                                     text.toUtf8().constData(), formatFor(align)));
    }
}

void WorkbookWriter::writeNumber(int row, int column, double value, Align align)
{
    if (usable())
        check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), value,
                                     formatFor(align)));
}

bool WorkbookWriter::close()
{
    if (book_ == nullptr)
        return false;
    if (!error_.isEmpty())
        return false;
    lxw_workbook *book = book_;
    book_ = nullptr;  // workbook_close frees it, whatever the outcome
    check(workbook_close(book));
    return error_.isEmpty();
}
