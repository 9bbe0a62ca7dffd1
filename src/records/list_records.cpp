#include "window/form1.h"

#include "core/numeric_text.h"
#include "core/records/reading_format.h"
#include "core/records/record_table.h"
#include "platform/rich_text_box.h"

// Formats one reading given as texts (raw value, status byte) into fmtText.
void Form1::fmtReading(const QString &value, const QString &status)
{
    const qint32 s = numeric_text::roundToInt32(numeric_text::leadingValue(status)).value_or(0);
    fmtText = reading_format::formatReading(numeric_text::leadingValue(value), s);
}

// Lists the present groups first to last (0 standing for 1 and for the last
// slot) in the record view. The table is built in memory and set in one go, so
// a read-only program directory costs nothing and no scratch file is left.
void Form1::listRecords(qint32 first, qint32 last)
{
    if (first == 0)
        first = 1;
    if (last == 0)
        last = record_store::kLastGroup;
    const auto presentRecord = [this](qint32 g) -> std::optional<GroupRecord> {
        // A group number without a slot counts as absent.
        if (!recordStore.isPresent(g))
            return std::nullopt;
        return recordStore.recordAt(g);
    };
    RichTextBox1->setText(record_table::viewText(first, last, secFlag, presentRecord));
}
