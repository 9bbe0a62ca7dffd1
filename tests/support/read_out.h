#pragma once

#include "core/records/record_store.h"
#include "support/core_harness.h"

// Starts a read-out of groups first..last as OK in the read-range dialog does
// for a valid range: the plan, the first block request and the watchdog.
void startReadOut(CoreHarness &h, qint32 first, qint32 last);

// A block reply for the block request `frame`: 20 bytes per group, each record
// made by `record(g)`.
QByteArray blockReplyFor(const QByteArray &frame, const std::function<QByteArray(qint32)> &record);

// The 20 bytes of a block reply's record that hold `record`, as the instrument sends it.
QByteArray recordBytes(const GroupRecord &record);

// A record whose every field depends on g, so a group stored in the wrong slot shows.
QByteArray sampleRecord(qint32 g);

// The groups a block request frame asks for.
qint32 frameFirst(const QByteArray &frame);
qint32 frameLast(const QByteArray &frame);

// Empty when slot g of the store holds the 20-byte record `rec` field by
// field, as the instrument's record layout gives them; otherwise what differs.
QString slotMismatch(const RecordStore &store, qint32 g, const QByteArray &rec);
