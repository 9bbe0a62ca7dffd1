#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QtMath>

// The forms were designed with SimSun, which Linux does not have. Each font
// below names a list of families; Qt takes the first one installed:
// - Noto Sans CJK SC (Debian's fonts-noto-cjk) has the same Chinese coverage;
// - the record table needs a CJK character to be exactly two Latin columns
//   wide, which Noto Sans Mono CJK SC and Sarasa Mono SC are built for;
// - on Windows, where neither is usually installed, SimSun and its
//   fixed-pitch twin NSimSun (both in simsun.ttc) are the fonts of the design;
//   a Windows that lacks them (outside China they are an optional feature)
//   has Microsoft YaHei, which every Windows since Vista installs.
namespace fonts {

constexpr char kUiFamily[] = "Noto Sans CJK SC";
constexpr char kMonoFamily[] = "Noto Sans Mono CJK SC";
constexpr int kDefaultPointSize = 9;
constexpr int kLiveValuePointSize = 42;

// Fitting a text to a box goes down in half points, which at 96 DPI visits
// every pixel size, and stops here however wide the text is.
constexpr qreal kFitStepPoints = 0.5;
constexpr qreal kSmallestFittedPointSize = 6;

inline QStringList uiFamilies()
{
    return {QString::fromLatin1(kUiFamily), QStringLiteral("SimSun"),
            QStringLiteral("Microsoft YaHei"), QStringLiteral("NSimSun")};
}

inline QStringList monoFamilies()
{
    return {QString::fromLatin1(kMonoFamily), QStringLiteral("Sarasa Mono SC"),
            QStringLiteral("NSimSun"), QStringLiteral("SimSun")};
}

inline QFont ui(int pointSize = kDefaultPointSize, bool bold = false)
{
    QFont f;
    f.setFamilies(uiFamilies());
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

// The three large live values, at their design size.
inline QFont liveValue() { return ui(kLiveValuePointSize, true); }

inline QFont mono(int pointSize = kDefaultPointSize)
{
    QFont f;
    f.setFamilies(monoFamilies());
    f.setPointSize(pointSize);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

// `font` at the largest size, from its own down, at which `text` is at most
// `width` pixels wide.
inline QFont fitted(QFont font, const QString &text, qreal width)
{
    while (font.pointSizeF() > kSmallestFittedPointSize
           && QFontMetricsF(font).horizontalAdvance(text) > width)
        font.setPointSizeF(font.pointSizeF() - kFitStepPoints);
    return font;
}

// The height of a one-line box with `frame` pixels of frame above and below
// its text at which each of `texts`, centred as a line edit centres it, has
// the ink of every glyph inside the frame; never less than `height`. Latin
// descenders reach lower than CJK glyphs, so an English text may need more.
inline int heightForInk(const QFont &font, const QStringList &texts, int frame, int height)
{
    const QFontMetricsF fm(font);
    QRectF ink;
    for (const QString &text : texts) {
        for (QChar c : text) {
            if (!c.isSpace())
                ink |= fm.boundingRect(c);
        }
    }
    // Centred in an inner height h, the base line lies (h - fm.height()) / 2
    // + fm.ascent() below the inner top.
    const qreal forTop = fm.height() - 2 * (fm.ascent() + ink.top());
    const qreal forBottom = 2 * (fm.ascent() + ink.bottom()) - fm.height();
    return qMax(height, qCeil(qMax(forTop, forBottom)) + 2 * frame);
}

}  // namespace fonts
