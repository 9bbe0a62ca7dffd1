#pragma once

#include <QString>

// The product title: the window's caption, the title of every message, the
// status bar, the record table's banner and the workbook's title row.
namespace product {

inline QString title() { return QStringLiteral("Harlune"); }

} // namespace product
