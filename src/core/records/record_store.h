#pragma once

#include "core/records/group_record.h"

#include <cstddef>
#include <vector>

// The groups read from the instrument, one slot per group number 0 to 200000,
// kept as thirteen columns: the raw readings as 16-bit numbers (hi × 100 + lo;
// a cleared slot holds 20000), the status bytes, and the time stamp and charge
// one byte each, and a bit per slot that says whether a group was stored
// there. 16 bytes and a bit a slot, 3.2 MB in all, allocated once. Decimal
// texts are made only when something is listed or exported.
class RecordStore {
public:
    // Every slot as before start-up: all columns zero.
    RecordStore();

    // Slot g, which must be a group number of the store.
    GroupRecord recordAt(qint32 g) const;
    // The inverse of recordAt.
    void storeRecord(qint32 g, const GroupRecord &record);
    // Whether g has a slot and a group was stored there since the last clear.
    // Not told by a value: the instrument's error code, 20000, is also what a
    // cleared slot holds, and a group whose channel 1 read err was still read.
    bool isPresent(qint32 g) const;
    // Whether any of the groups first .. first + count - 1 is present.
    bool anyPresent(qint32 first, qint32 count) const;
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
    // Which slots hold a group. Before start-up's clear every slot holds
    // zeros, a present reading of 0.
    std::vector<bool> stored_;
    // Every stored slot lies within these; after a clear, only they differ
    // from a cleared slot, so the next clear resets just them.
    qint32 presentFirst_ = record_store::kFirstGroup;
    qint32 presentLast_ = record_store::kLastGroup;
};
