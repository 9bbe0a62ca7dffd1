#pragma once

#include <QElapsedTimer>
#include <QString>

// How far `read` has come, on standard error: one line that a terminal
// redraws as a bar, or, for a log or a pipe, a plain line per block.
namespace progress_text {

// "[#######-----------------------]  12000/200000 组   6%  5600 组/秒  剩余 0:34"
QString bar(qint32 done, qint32 total, qint64 elapsedMs);
// "已读取 12000/200000 组（6%），5600 组/秒，剩余 0:34"
QString line(qint32 done, qint32 total, qint64 elapsedMs);

}  // namespace progress_text

class ProgressReport {
public:
    enum class Style {
        Quiet,  // --quiet
        Lines,  // standard error is a file or a pipe
        Bar,    // standard error is a terminal
    };

    explicit ProgressReport(Style style) : style_(style) {}

    // The read-out of `total` groups begins: the clock starts.
    void start(qint32 total);
    // `done` groups of the total are stored.
    void update(qint32 done);
    // Ends the bar's line, so that what is printed next starts a line of its own.
    void end();

private:
    Style style_;
    qint32 total_ = 0;
    QElapsedTimer clock_;
    qsizetype barLength_ = 0;  // characters of the bar on the terminal; 0 when none
};
