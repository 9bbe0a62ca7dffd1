#include "core/records/records.h"

#include "core/link/serial_link.h"
#include "core/numeric_text.h"
#include "core/records/reading_format.h"
#include "core/records/record_table.h"

#include <algorithm>

Records::Records(const SerialLink &link, QObject *parent) : QObject(parent), link_(link) {}

// Formats one reading given as texts (raw value, status byte) into fmtText.
void Records::fmtReading(const QString &value, const QString &status)
{
    const qint32 s = numeric_text::roundToInt32(numeric_text::leadingValue(status)).value_or(0);
    fmtText_ = reading_format::formatReading(numeric_text::leadingValue(value), s);
}

const QString &Records::format(quint16 value, quint8 status)
{
    fmtText_ = reading_format::formatReading(value, status);
    return fmtText_;
}

// Lists the present groups first to last (0 standing for 1 and for the last
// slot) for the record view. The table is built in memory and handed over in
// one go, so a read-only program directory costs nothing and no scratch file
// is left.
void Records::listRecords(qint32 first, qint32 last)
{
    if (first == 0)
        first = 1;
    if (last == 0)
        last = record_store::kLastGroup;
    // Only where groups can be present; the pairs of a line keep their places.
    if (store_.presentFirst() > first)
        first += (store_.presentFirst() - first) / 2 * 2;
    last = std::min(last, store_.presentLast());
    const auto presentRecord = [this](qint32 g) -> std::optional<GroupRecord> {
        // A group number without a slot counts as absent.
        if (!store_.isPresent(g))
            return std::nullopt;
        return store_.recordAt(g);
    };
    emit recordsListed(record_table::viewText(first, last, link_.secFlag(), presentRecord));
}
