#pragma once

#include "core/records/record_store.h"

#include <QObject>
#include <QString>

class SerialLink;

// The groups read, and how they are shown: the record store, the record
// table's text for the record view, Clear data's emptying, and the reading
// formatter with the last text it made.
class Records : public QObject {
    Q_OBJECT
public:
    explicit Records(const SerialLink &link, QObject *parent = nullptr);

    const RecordStore &store() const { return store_; }
    RecordStore &store() { return store_; }
    QString fmtText() const { return fmtText_; }  // the last reading the formatter made

    // Formats one reading given as texts (raw value, status byte) into fmtText.
    void fmtReading(const QString &value, const QString &status);
    // The same for a raw reading; returns the text.
    const QString &format(quint16 value, quint8 status);
    // Lists the present groups first to last (0 standing for 1 and for the
    // last slot) as the record table's text.
    void listRecords(qint32 first, qint32 last);
    // The record view shows `text`: the header alone, or nothing while a read-out begins.
    void show(const QString &text) { emit recordsListed(text); }
    // Clear data: every group absent, and the empty store listed.
    void clear();

signals:
    // The record table's text, for the record view.
    void recordsListed(const QString &text);
    // Clear data emptied the record store.
    void storeCleared();

private:
    const SerialLink &link_;
    RecordStore store_;
    QString fmtText_;
};
