#include "window/form1.h"

#include <algorithm>
#include <type_traits>

namespace {

// What Clear data leaves in a column: a group is present by its channel-1
// value alone, so values and time stamps are emptied, statuses and charge kept.
enum class Cleared { ToEmptyValue, ToZero, Kept };

// The thirteen columns of the record store, each with the field of a group
// record it holds and what Clear data leaves in it. Everything that allocates,
// reads, writes, clears or sizes the store goes through this one list, so a new
// field is added here and in GroupRecord only.
template <typename Window, typename Record, typename Visit>
void forEachColumn(Window &w, Record &r, Visit &&visit)
{
    visit(w.grpVal1, r.val[0], Cleared::ToEmptyValue);
    visit(w.grpVal2, r.val[1], Cleared::ToEmptyValue);
    visit(w.grpVal3, r.val[2], Cleared::ToEmptyValue);
    visit(w.grpStat1, r.stat[0], Cleared::Kept);
    visit(w.grpStat2, r.stat[1], Cleared::Kept);
    visit(w.grpStat3, r.stat[2], Cleared::Kept);
    visit(w.grpYear, r.year, Cleared::ToZero);
    visit(w.grpMonth, r.month, Cleared::ToZero);
    visit(w.grpDay, r.day, Cleared::ToZero);
    visit(w.grpHour, r.hour, Cleared::ToZero);
    visit(w.grpMinute, r.minute, Cleared::ToZero);
    visit(w.grpSecond, r.second, Cleared::ToZero);
    visit(w.grpCharge, r.charge, Cleared::Kept);
}

// For the visits that need a column but no record.
template <typename Window, typename Visit>
void forEachColumn(Window &w, Visit &&visit)
{
    GroupRecord unused;
    forEachColumn(w, unused,
                  [&](auto &column, auto &, Cleared cleared) { visit(column, cleared); });
}

}  // namespace

void Form1::createRecordStore()
{
    forEachColumn(*this, [](auto &column, Cleared) { column.resize(record_store::kSlots); });
}

GroupRecord Form1::recordAt(qint32 g) const
{
    GroupRecord r;
    forEachColumn(*this, r, [g](const auto &column, auto &field, Cleared) { field = column[g]; });
    return r;
}

void Form1::storeRecord(qint32 g, const GroupRecord &r)
{
    forEachColumn(*this, r, [g](auto &column, const auto &field, Cleared) { column[g] = field; });
}

void Form1::emptyRecordStore()
{
    forEachColumn(*this, [](auto &column, Cleared cleared) {
        using Value = typename std::decay_t<decltype(column)>::value_type;
        if (cleared == Cleared::ToEmptyValue)
            std::fill(column.begin(), column.end(), Value(record_store::kEmptyValue));
        else if (cleared == Cleared::ToZero)
            std::fill(column.begin(), column.end(), Value(0));
    });
}

std::size_t Form1::recordStoreBytes() const
{
    std::size_t bytes = 0;
    forEachColumn(*this, [&bytes](const auto &column, Cleared) {
        bytes += column.size() * sizeof(column[0]);
    });
    return bytes;
}
