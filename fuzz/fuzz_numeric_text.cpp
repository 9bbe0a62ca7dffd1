// How texts become numbers: any text is read without failing, a text that is
// wholly a number reads the same both ways, rounding goes to the nearest whole
// number (a tie to the even one), and a number's text reads back as the number.
#include "core/numeric_text.h"
#include "fuzz_input.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int *, char ***) { return 0; }

namespace {

void checkRounding(double v)
{
    if (const auto n = numeric_text::roundToInt32(v)) {
        const double diff = std::fabs(double(*n) - v);
        FUZZ_CHECK(diff <= 0.5, QStringLiteral("%1 rounds to %2").arg(v).arg(*n));
        if (diff == 0.5)
            FUZZ_CHECK(*n % 2 == 0, QStringLiteral("tie %1 rounds to odd %2").arg(v).arg(*n));
        const auto n16 = numeric_text::roundToInt16(v);
        FUZZ_CHECK(!n16 || *n16 == *n, QStringLiteral("16 and 32 bits disagree on %1").arg(v));
    } else {
        FUZZ_CHECK(!(std::fabs(v) < 2147483647.0), QStringLiteral("%1 did not round").arg(v));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const QString text = in.rest();
    const double lenient = numeric_text::leadingValue(text);
    checkRounding(lenient);
    if (const auto strict = numeric_text::strictValue(text)) {
        FUZZ_CHECK(*strict == lenient || (std::isnan(*strict) && std::isnan(lenient)),
                   QStringLiteral("\"%1\" reads %2 strictly, %3 leniently")
                       .arg(text)
                       .arg(*strict)
                       .arg(lenient));
    }
    if (std::isfinite(lenient)) {
        const QString back = numeric_text::decimalText(lenient);
        const auto again = numeric_text::strictValue(back);
        FUZZ_CHECK(again.has_value(), QStringLiteral("\"%1\" is not a number").arg(back));
        // At most 15 significant digits: the text is the number to 15 digits.
        FUZZ_CHECK(std::fabs(*again - lenient) <= std::fabs(lenient) * 1e-14,
                   QStringLiteral("%1 became \"%2\"").arg(lenient).arg(back));
    }
    return 0;
}
