#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The clock in the status bar: a time of day in the locale's long time format,
// without the time zone, which is no part of a clock.
namespace clock_text {

QString timeOfDay(const QTime &time, const QLocale &locale);

}  // namespace clock_text
