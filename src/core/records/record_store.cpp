#include "core/records/record_store.h"

#include <algorithm>
#include <climits>
#include <type_traits>

namespace {

// What Clear data leaves in a column: values emptied (20000, which reads
// "err" wherever a cleared slot is written out) and time stamps zeroed,
// statuses and charge kept.
enum class Cleared { ToErrorValue, ToZero, Kept };

}  // namespace

// The thirteen columns of the store, each with the field of a group record it
// holds and what Clear data leaves in it. Everything that allocates, reads,
// writes, clears or sizes the store goes through this one list, so a new
// field is added here and in GroupRecord only.
template <typename Store, typename Record, typename Visit>
void forEachColumn(Store &s, Record &r, Visit &&visit)
{
    visit(s.grpVal1_, r.val[0], Cleared::ToErrorValue);
    visit(s.grpVal2_, r.val[1], Cleared::ToErrorValue);
    visit(s.grpVal3_, r.val[2], Cleared::ToErrorValue);
    visit(s.grpStat1_, r.stat[0], Cleared::Kept);
    visit(s.grpStat2_, r.stat[1], Cleared::Kept);
    visit(s.grpStat3_, r.stat[2], Cleared::Kept);
    visit(s.grpYear_, r.year, Cleared::ToZero);
    visit(s.grpMonth_, r.month, Cleared::ToZero);
    visit(s.grpDay_, r.day, Cleared::ToZero);
    visit(s.grpHour_, r.hour, Cleared::ToZero);
    visit(s.grpMinute_, r.minute, Cleared::ToZero);
    visit(s.grpSecond_, r.second, Cleared::ToZero);
    visit(s.grpCharge_, r.charge, Cleared::Kept);
}

namespace {

// For the visits that need a column but no record.
template <typename Store, typename Visit>
void forEachColumnOnly(Store &s, Visit &&visit)
{
    GroupRecord unused;
    forEachColumn(s, unused,
                  [&](auto &column, auto &, Cleared cleared) { visit(column, cleared); });
}

}  // namespace

RecordStore::RecordStore()
{
    forEachColumnOnly(*this, [](auto &column, Cleared) { column.resize(record_store::kSlots); });
    stored_.assign(record_store::kSlots, true);
}

GroupRecord RecordStore::recordAt(qint32 g) const
{
    GroupRecord r;
    forEachColumn(*this, r, [g](const auto &column, auto &field, Cleared) { field = column[g]; });
    return r;
}

void RecordStore::storeRecord(qint32 g, const GroupRecord &r)
{
    forEachColumn(*this, r, [g](auto &column, const auto &field, Cleared) { column[g] = field; });
    stored_[std::size_t(g)] = true;
    presentFirst_ = std::min(presentFirst_, g);
    presentLast_ = std::max(presentLast_, g);
}

bool RecordStore::isPresent(qint32 g) const
{
    return g >= record_store::kFirstGroup && g <= record_store::kLastGroup
           && stored_[std::size_t(g)];
}

bool RecordStore::anyPresent(qint32 first, qint32 count) const
{
    const qint64 from = std::max<qint64>(first, presentFirst_);
    const qint64 to = std::min<qint64>(qint64(first) + count - 1, presentLast_);
    for (qint64 g = from; g <= to; ++g) {
        if (stored_[std::size_t(g)])
            return true;
    }
    return false;
}

void RecordStore::clear()
{
    const qint32 from = presentFirst_;
    const qint32 to = presentLast_;
    forEachColumnOnly(*this, [from, to](auto &column, Cleared cleared) {
        using Value = typename std::decay_t<decltype(column)>::value_type;
        if (from > to || cleared == Cleared::Kept)
            return;
        const auto first = column.begin() + from;
        const auto end = column.begin() + to + 1;
        std::fill(first, end,
                  Value(cleared == Cleared::ToErrorValue ? record_store::kErrorValue : 0));
    });
    if (from <= to)
        std::fill(stored_.begin() + from, stored_.begin() + to + 1, false);
    presentFirst_ = record_store::kLastGroup + 1;
    presentLast_ = record_store::kFirstGroup - 1;
}

std::size_t RecordStore::bytes() const
{
    std::size_t total = 0;
    forEachColumnOnly(*this, [&total](const auto &column, Cleared) {
        total += column.size() * sizeof(column[0]);
    });
    return total + (stored_.size() + CHAR_BIT - 1) / CHAR_BIT;
}
