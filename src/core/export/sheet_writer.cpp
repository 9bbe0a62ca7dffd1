#include "core/export/sheet_writer.h"

#include "core/export/sheet_rows.h"
#include "core/product.h"
#include "platform/workbook_writer.h"

namespace sheet_writer {

void writeSheet(WorkbookWriter &book, qint32 first, qint32 count, quint8 secFlag,
                const RecordStore &store)
{
    using Align = WorkbookWriter::Align;

    book.mergeText(sheet_rows::kTitleRow, 0, sheet_rows::kTitleLastColumn, product::title(),
                   Align::Centre);
    const std::array<QString, sheet_rows::kColumnCount> header = sheet_rows::headers();
    for (int column = 0; column < sheet_rows::kColumnCount; ++column)
        book.writeText(sheet_rows::kHeaderRow, column, header[column], Align::Centre);

    sheet_rows::ColumnFit fit;
    for (qint32 k = 0; k < count; ++k) {
        const int row = sheet_rows::kFirstDataRow + k;
        const sheet_rows::RowCells cells =
            sheet_rows::rowCells(first + k, store.recordAt(first + k), secFlag);
        fit.addRow(cells);
        for (int column = 0; column < sheet_rows::kTextColumnCount; ++column)
            book.writeText(row, column, cells.texts[column], Align::Centre);
        book.writeNumber(row, sheet_rows::kChargeColumn, cells.charge, Align::General);
    }
    for (int column = 0; column < sheet_rows::kColumnCount; ++column)
        book.setColumnWidth(column, fit.width(column));
}

}  // namespace sheet_writer
