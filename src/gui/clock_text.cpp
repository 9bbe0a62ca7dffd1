#include "gui/clock_text.h"

namespace clock_text {

QString timeOfDay(const QTime &time, const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return locale.toString(time, format.trimmed());
}

}  // namespace clock_text
