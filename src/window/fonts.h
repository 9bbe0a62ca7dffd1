#pragma once

#include <QFont>

// SimSun, the font the forms were designed with, does not exist on Linux;
// Noto Sans CJK SC has the same Chinese coverage, and its monospaced sibling
// keeps a CJK character at two columns, so the record table lines up.
namespace fonts {

constexpr char kUiFamily[] = "Noto Sans CJK SC";
constexpr char kMonoFamily[] = "Noto Sans Mono CJK SC";
constexpr int kDefaultPointSize = 9;
constexpr int kLiveValuePointSize = 42;

inline QFont ui(int pointSize = kDefaultPointSize, bool bold = false)
{
    QFont f(QString::fromLatin1(kUiFamily), pointSize);
    f.setBold(bold);
    return f;
}

// The three large live values.
inline QFont liveValue() { return ui(kLiveValuePointSize, true); }

inline QFont mono(int pointSize = kDefaultPointSize)
{
    QFont f(QString::fromLatin1(kMonoFamily), pointSize);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

} // namespace fonts
