#pragma once

#include "core/records/group_record.h"

#include <cstddef>
#include <vector>

// The groups read from the instrument, one slot per group number 0 to 200000,
// kept as thirteen columns: the raw readings as 16-bit numbers (hi × 100 + lo;
// 20000 marks an empty slot), the status bytes, and the time stamp and charge
// one byte each. 16 bytes a slot, 3.2 MB in all, allocated once. Decimal
// texts are made only when something is listed or exported.
class RecordStore {
public:
    // Every slot as before start-up: all columns zero.
    RecordStore();

    // Slot g, which must be a group number of the store.
    GroupRecord recordAt(qint32 g) const;
    // The inverse of recordAt.
    void storeRecord(qint32 g, const GroupRecord &record);
    // Whether g has a slot and holds a group: a group is present by its channel-1 value alone.
    bool isPresent(qint32 g) const;
    // Every group absent, as Clear data leaves the store: values empty, time
    // stamps zero, statuses and charge kept.
    void clear();
    // What the columns take.
    std::size_t bytes() const;
    // Every present group lies within first..last (none when first > last):
    // a listing of a cleared store need not look at 200001 empty slots.
    qint32 presentFirst() const { return presentFirst_; }
    qint32 presentLast() const { return presentLast_; }

private:
    // The thirteen columns, listed once in record_store.cpp with the field of
    // a group record each holds and what clear() leaves in it.
    template <typename Store, typename Record, typename Visit>
    friend void forEachColumn(Store &store, Record &record, Visit &&visit);

    std::vector<quint16> grpVal1_, grpVal2_, grpVal3_;
    std::vector<quint8> grpStat1_, grpStat2_, grpStat3_;
    std::vector<quint8> grpYear_, grpMonth_, grpDay_, grpHour_, grpMinute_, grpSecond_;
    std::vector<quint8> grpCharge_;
    // Before start-up every slot holds zeros, a present reading of 0.
    qint32 presentFirst_ = record_store::kFirstGroup;
    qint32 presentLast_ = record_store::kLastGroup;
    // Slots written since the last clear; after a clear, only they differ
    // from a cleared slot, so the next clear resets just them. Before the
    // first clear every slot does.
    qint32 writtenFirst_ = record_store::kFirstGroup;
    qint32 writtenLast_ = record_store::kLastGroup;
};
