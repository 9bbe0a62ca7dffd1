#pragma once

#include "support/form1_harness.h"

// Sets the read plan of groups first..last the way the read-range dialog does
// for a valid range, sends the first block request and starts the watchdog.
void startReadOut(Form1Harness &h, qint32 first, qint32 last);

// A block reply for the block request `frame`: 20 bytes per group, each record
// made by `record(g)`.
QByteArray blockReplyFor(const QByteArray &frame, const std::function<QByteArray(qint32)> &record);

// A record whose every field depends on g, so a group stored in the wrong slot shows.
QByteArray sampleRecord(qint32 g);

// The groups a block request frame asks for.
qint32 frameFirst(const QByteArray &frame);
qint32 frameLast(const QByteArray &frame);

// Empty when slot g of the store holds the 20-byte record `rec` field by
// field, as the instrument's record layout gives them; otherwise what differs.
QString slotMismatch(const Form1 &f, qint32 g, const QByteArray &rec);
