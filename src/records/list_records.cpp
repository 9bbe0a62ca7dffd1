// PLACEHOLDER: replaced by the record table.
#include "window/form1.h"
#include "records/reading_format.h"
#include "window/numeric_text.h"
void Form1::fmtReading(const QString &value, const QString &status)
{ fmtText = reading_format::formatReading(numeric_text::leadingValue(value), qint32(numeric_text::leadingValue(status))); }
void Form1::makePad(quint8 n) { fmtText = QString(n == 0 ? 1 : n, QLatin1Char(' ')); }
void Form1::listRecords(qint32, qint32) {}
