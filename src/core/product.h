#pragma once

#include "app/version.h"

#include <QCoreApplication>
#include <QString>

// The product title: the window's caption, the title of every message, the
// status bar, the record table's banner and the workbook's title row.
namespace product {

inline QString title() { return QStringLiteral("Harlune"); }

// The text of the "当前版本" menu entry's message: the version and the day it was released.
inline QString versionMessage()
{
    return QCoreApplication::translate("product", "当前版本：V%1  更新时间：%2年%3月%4日")
        .arg(QLatin1String(version::kText))
        .arg(version::kReleaseYear)
        .arg(version::kReleaseMonth)
        .arg(version::kReleaseDay);
}

}  // namespace product
