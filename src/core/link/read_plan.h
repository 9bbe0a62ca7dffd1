#pragma once

#include <QString>

// Turns the choice of the read-range dialog into the read plan: which groups to
// read, and how many whole blocks of 1000 groups and what partial block that takes.
namespace read_plan {

enum class Choice {
    Range,  // the groups between the two numbers typed
    All,    // every group the instrument holds
};

struct Plan {
    qint32 startsave = 0;  // first group to read
    qint32 endsave = 0;    // last group to read
    qint32 lssavesum = 0;  // first group of the whole range (startsave advances per block)
    qint32 memnum = 0;     // groups in the range; 0 or less: nothing to read
    qint16 memmul = 0;     // whole blocks of 1000 groups (rounded down)
    qint16 memrem = 0;     // groups of the final partial block (truncating remainder)

    bool hasGroups() const { return memnum > 0; }
};

// `a` and `b` are the two ends of a range, either way round; they are compared
// as typed and rounded half to even. `savesum` is the instrument's group count.
// The range is kept inside the instrument's groups, which it numbers from 1,
// and inside the record store (up to 200000), so no request ever leaves the
// store or asks for a group 0 that the instrument never counted.
Plan makePlan(Choice choice, double a, double b, qint32 savesum);

// The same from the texts of the dialog's two boxes, read by their leading number.
Plan fromTexts(Choice choice, const QString &text1, const QString &text2, qint32 savesum);

}  // namespace read_plan
