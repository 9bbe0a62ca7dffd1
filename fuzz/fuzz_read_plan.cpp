// The read plan from any dialog texts and any group count: it stays inside the
// record store and the instrument's groups, and its block requests cover the
// range exactly, each of at most 1000 groups.
#include "core/link/frames.h"
#include "core/link/read_plan.h"
#include "core/records/group_record.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const auto choice = in.byte() % 2 ? read_plan::Choice::All : read_plan::Choice::Range;
    // Bytes 15-17 of a group-count reply can carry up to 255 * 10101.
    const qint32 savesum = in.range(0, 255 * 10101);
    const QString a = in.text(24);
    const QString b = in.text(24);
    const read_plan::Plan p = read_plan::fromTexts(choice, a, b, savesum);
    const QString what = QStringLiteral("[%1] [%2] of %3 gives %4..%5")
                             .arg(a, b)
                             .arg(savesum)
                             .arg(p.startsave)
                             .arg(p.endsave);
    FUZZ_CHECK(p.lssavesum == p.startsave, what);
    FUZZ_CHECK(p.memnum == p.endsave - p.startsave + 1, what);
    if (!p.hasGroups())
        return 0;
    // The instrument numbers its groups from 1.
    FUZZ_CHECK(p.startsave >= 1 && p.endsave <= record_store::kLastGroup, what);
    FUZZ_CHECK(p.endsave <= savesum, what);
    FUZZ_CHECK(p.memmul * frames::kBlockGroups + p.memrem == p.memnum && p.memrem >= 0
                   && p.memrem < frames::kBlockGroups,
               what);
    qint32 next = p.startsave;
    qint32 startsave = p.startsave;
    const int blocks = p.memmul + (p.memrem > 0 ? 1 : 0);
    for (qint16 block = 1; block <= blocks; ++block, startsave += frames::kBlockGroups) {
        const frames::BlockRequest r =
            frames::blockRequest(startsave, p.endsave, p.memnum, p.memmul, p.memrem, block);
        FUZZ_CHECK(r.first == next && r.last >= r.first && r.last - r.first < frames::kBlockGroups
                       && r.threshold == (r.last - r.first + 1) * frames::kRecordLength,
                   what + QStringLiteral(", block %1").arg(block));
        next = r.last + 1;
    }
    FUZZ_CHECK(next == p.endsave + 1, what + QStringLiteral(": blocks do not end the range"));
    return 0;
}
