#include "cli/progress_report.h"

#include "platform/console_output.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace progress_text {

namespace {

constexpr int kBarCells = 30;
constexpr qint64 kMsPerSecond = 1000;
constexpr qint64 kSecondsPerMinute = 60;
constexpr qint64 kMinutesPerHour = 60;
constexpr qint64 kSecondsPerHour = kSecondsPerMinute * kMinutesPerHour;

int percent(qint32 done, qint32 total) { return total > 0 ? int(qint64(done) * 100 / total) : 100; }

// Groups a second; 0 before any time has passed.
qint64 rate(qint32 done, qint64 elapsedMs)
{
    return elapsedMs > 0 ? qint64(done) * kMsPerSecond / elapsedMs : 0;
}

// "0:34", "1:02:03": what is left at the rate so far; "--:--" before there is one.
QString timeLeft(qint32 done, qint32 total, qint64 elapsedMs)
{
    if (done <= 0 || elapsedMs <= 0)
        return QStringLiteral("--:--");
    const qint64 doneMs = qint64(done) * kMsPerSecond;
    const qint64 seconds = (qint64(total - done) * elapsedMs + doneMs - 1) / doneMs;  // rounded up
    const qint64 hours = seconds / kSecondsPerHour;
    const qint64 minutes = seconds / kSecondsPerMinute % kMinutesPerHour;
    const auto twoDigits = [](qint64 n) {
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    };
    if (hours == 0)
        return QStringLiteral("%1:%2").arg(minutes).arg(twoDigits(seconds % kSecondsPerMinute));
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(twoDigits(minutes), twoDigits(seconds % kSecondsPerMinute));
}

}  // namespace

QString bar(qint32 done, qint32 total, qint64 elapsedMs)
{
    const int filled = total > 0 ? int(qint64(done) * kBarCells / total) : kBarCells;
    return QCoreApplication::translate("harlune-cli", "[%1%2]  %3/%4 组  %5%  %6 组/秒  剩余 %7")
        .arg(QString(filled, QLatin1Char('#')), QString(kBarCells - filled, QLatin1Char('-')))
        .arg(done)
        .arg(total)
        .arg(percent(done, total), 3)
        .arg(rate(done, elapsedMs))
        .arg(timeLeft(done, total, elapsedMs));
}

QString line(qint32 done, qint32 total, qint64 elapsedMs)
{
    return QCoreApplication::translate("harlune-cli", "已读取 %1/%2 组（%3%），%4 组/秒，剩余 %5")
        .arg(done)
        .arg(total)
        .arg(percent(done, total))
        .arg(rate(done, elapsedMs))
        .arg(timeLeft(done, total, elapsedMs));
}

}  // namespace progress_text

void ProgressReport::start(qint32 total)
{
    total_ = total;
    clock_.start();
    update(0);
}

void ProgressReport::update(qint32 done)
{
    QString text;
    switch (style_) {
    case Style::Quiet: return;
    case Style::Lines:
        // No line for the start: a log gets one line per block.
        if (done == 0)
            return;
        text = progress_text::line(done, total_, clock_.elapsed()) + QLatin1Char('\n');
        break;
    case Style::Bar: {
        const QString bar = progress_text::bar(done, total_, clock_.elapsed());
        // Blanks over what a longer bar before left on the line.
        text = QLatin1Char('\r') + bar
               + QString(std::max<qsizetype>(0, barLength_ - bar.size()), QLatin1Char(' '));
        barLength_ = bar.size();
        break;
    }
    }
    console_output::print(stderr, text);
}

void ProgressReport::end()
{
    if (barLength_ == 0)
        return;
    console_output::print(stderr, QStringLiteral("\n"));
    barLength_ = 0;
}
