#include "core/link/read_plan.h"

#include "core/link/frames.h"
#include "core/numeric_text.h"
#include "core/records/group_record.h"

#include <cmath>

namespace read_plan {

namespace {

// The instrument numbers its groups from 1: a count of 2500 is groups 1 to
// 2500. "All" starts there, and so does a range, whatever its first box says.
constexpr qint32 kFirstStoredGroup = 1;

// Rounds a value already bounded to a small range; the bound makes the rounding safe.
qint32 roundBounded(double value, qint32 low, qint32 high)
{
    return *numeric_text::roundToInt32(qBound(double(low), value, double(high)));
}

}  // namespace

Plan makePlan(Choice choice, double a, double b, qint32 savesum)
{
    Plan p;
    if (choice == Choice::All) {
        p.startsave = kFirstStoredGroup;
        p.endsave = savesum;
    } else {
        // Compared unrounded, so the smaller number starts the range whichever box holds it.
        const double low = b >= a ? a : b;
        const double high = b >= a ? b : a;
        // Bounded before rounding: the bounds are whole numbers, so this is the
        // same as rounding first, and no text can overflow 32 bits. A start past
        // the store, or an end below the first group, still makes an empty range.
        p.startsave = roundBounded(low, kFirstStoredGroup, record_store::kLastGroup + 1);
        p.endsave = roundBounded(high, kFirstStoredGroup - 1, record_store::kLastGroup);
    }
    p.lssavesum = p.startsave;
    // Nothing past the instrument's last group, nor past the store's last slot.
    p.endsave =
        qMax(kFirstStoredGroup - 1, qMin(p.endsave, qMin(savesum, record_store::kLastGroup)));
    p.memnum = p.endsave - p.startsave + 1;
    p.memmul = static_cast<qint16>(std::floor(double(p.memnum) / frames::kBlockGroups));
    p.memrem = static_cast<qint16>(p.memnum % frames::kBlockGroups);
    return p;
}

Plan fromTexts(Choice choice, const QString &text1, const QString &text2, qint32 savesum)
{
    return makePlan(choice, numeric_text::leadingValue(text1), numeric_text::leadingValue(text2),
                    savesum);
}

}  // namespace read_plan
