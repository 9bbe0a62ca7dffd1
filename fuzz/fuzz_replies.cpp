// The reply decoders on any bytes: they read only what is there, and every
// field is the bytes the record layout gives it.
#include "core/link/frames.h"
#include "core/link/replies.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rx(reinterpret_cast<const char *>(data), int(size));
    auto b = [&](int i) { return int(uint8_t(rx[i])); };
    for (const quint8 code : {quint8(0x11), quint8(0x22), quint8(0x33)}) {
        if (!replies::isShortReply(rx, code))
            continue;
        FUZZ_CHECK(rx.size() >= frames::kReplyLength && b(0) == 0xAA && b(19) == code,
                   QStringLiteral("a short reply without its header or code"));
        FUZZ_CHECK(replies::secondsFlag(rx) == (b(15) == 0xFF ? 1 : 0),
                   QStringLiteral("seconds flag"));
        FUZZ_CHECK(replies::groupCount(rx) == b(15) * 10000 + b(16) * 100 + b(17),
                   QStringLiteral("group count"));
        const auto live = replies::liveReadings(rx);
        for (int c = 0; c < 3; ++c) {
            FUZZ_CHECK(live[c].value == b(1 + 3 * c) * 100 + b(2 + 3 * c)
                           && live[c].status == b(3 + 3 * c),
                       QStringLiteral("live reading %1").arg(c + 1));
        }
    }
    for (int k = 0; (k + 1) * frames::kRecordLength <= rx.size(); ++k) {
        const GroupRecord r = replies::blockRecord(rx, k);
        auto at = [&](int i) { return b(k * frames::kRecordLength + i); };
        bool same = r.year == at(10) && r.month == at(11) && r.day == at(12) && r.hour == at(13)
                    && r.minute == at(14) && r.second == at(15) && r.charge == at(18);
        for (int c = 0; c < 3; ++c)
            same = same && r.val[c] == at(1 + 3 * c) * 100 + at(2 + 3 * c)
                   && r.stat[c] == at(3 + 3 * c);
        FUZZ_CHECK(same, QStringLiteral("record %1 of a block").arg(k));
    }
    return 0;
}
