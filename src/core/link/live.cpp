#include "core/link/live_poll.h"

#include "core/link/replies.h"
#include "core/link/serial_link.h"
#include "core/records/records.h"

#include <QDateTime>

namespace {
const QString kOverload = QStringLiteral("OL");
}  // namespace

// Tells the three readings of a live-reading reply, all three decoded before
// anyone hears of them. fmtText keeps the last reading formatted, as after
// every use of the formatter.
void LivePoll::showLive()
{
    const auto readings = replies::liveReadings(link_.rxBuf());
    quint16 raw[3];
    quint8 status[3];
    for (int c = 0; c < 3; ++c) {
        raw[c] = readings[c].value;
        status[c] = readings[c].status;
    }
    history_.appendReading(QDateTime::currentMSecsSinceEpoch(), raw, status);
    LiveReading live;
    for (int c = 0; c < 3; ++c) {
        live.raw[c] = readings[c];
        // Overload shows as a bare "OL", without the formatter's padding.
        if (readings[c].value == record_store::kOverloadValue)
            live.texts[c] = kOverload;
        else
            live.texts[c] = records_.format(readings[c].value, readings[c].status);
    }
    emit liveReading(live);
}
