#include "cli/cli_session.h"

#include "core/export/csv_rows.h"
#include "core/link/port_problem.h"
#include "core/link/read_plan.h"
#include "core/records/group_record.h"
#include "core/records/reading_format.h"
#include "platform/console_output.h"
#include "platform/quit_on_signals.h"
#include "platform/system_error.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>

namespace {

constexpr double kMsPerSecond = 1000.0;
// live's text line: the computer's time to the millisecond.
const QString kLiveTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");

void say(const QString &message)
{
    if (!message.isEmpty())
        console_output::print(stderr, message + QLatin1Char('\n'));
}

ProgressReport::Style progressStyle(const cli_options::Options &options)
{
    if (options.quiet)
        return ProgressReport::Style::Quiet;
    return terminal::isTerminal(stderr) ? ProgressReport::Style::Bar : ProgressReport::Style::Lines;
}

}  // namespace

CliSession::CliSession(Instrument &core, const cli_options::Options &options, QObject *parent)
    : QObject(parent), core_(core), options_(options), progress_(progressStyle(options))
{
    if (options_.command == cli_options::Command::Read)
        output_ = OutputFile::forPath(options_.output);
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
    deadline_.setInterval(options_.timeoutMs);
    connect(&deadline_, &QTimer::timeout, this, &CliSession::onDeadline);
    connect(&core_, &Instrument::linkChanged, this, &CliSession::onLinkChanged);
    connect(&core_, &Instrument::groupCountArrived, this, &CliSession::onGroupCount);
    connect(&core_, &Instrument::groupCountFailed, this, &CliSession::onCountFailed);
    connect(&core_, &Instrument::liveReading, this, &CliSession::onLiveReading);
    connect(&core_, &Instrument::blockStored, this,
            [this](qint32, qint32 last) { progress_.update(last - core_.lssavesum() + 1); });
    connect(&core_, &Instrument::readOutCompleted, this,
            [this] { writeAndFinish(cli_options::kExitSuccess, QString(), Result::Whole); });
    connect(&core_, &Instrument::readOutInterrupted, this,
            [this](read_out::End, const QString &message) {
                writeAndFinish(cli_options::kExitInterrupted, message, Result::Partial);
            });
    // As the window says it. The run has done what was asked: the instrument
    // has no groups in that range. A new file holds none; one the user had is kept.
    connect(&core_, &Instrument::nothingToRead, this, [this] {
        writeAndFinish(cli_options::kExitSuccess, tr("所选范围内没有已存储的数据组。"),
                       Result::Whole);
    });
}

void CliSession::start()
{
    if (output_) {
        // A file that cannot be written, or a format that cannot be made, is
        // found before the instrument is even looked for.
        const QString problem = output_->problem(0, 0);
        if (!problem.isEmpty()) {
            finish(cli_options::kExitNotWritten, problem);
            return;
        }
    }
    deadline_.start();
    core_.load();
}

void CliSession::stop()
{
    switch (stage_) {
    case Stage::Done: return;
    case Stage::ReadingOut: core_.abandonReadOut(); return;
    case Stage::Live:
    case Stage::Searching:
    case Stage::AwaitingCount: break;
    }
    // live without --count has no end but a signal: that is its way out.
    // Every other command was stopped before it had done what it was asked.
    if (options_.command == cli_options::Command::Live && options_.count == 0)
        finish(cli_options::kExitSuccess);
    else if (options_.command == cli_options::Command::Read)
        writeAndFinish(cli_options::kExitInterrupted,
                       read_out::interruptionText(read_out::End::Stopped, 0, -1), Result::Partial);
    else
        finish(cli_options::kExitInterrupted, tr("已被中止。"));
}

void CliSession::onLinkChanged(bool linked)
{
    if (!linked) {
        // During a read-out the watchdog decides; live looks for it again.
        if (stage_ == Stage::Live) {
            stage_ = Stage::Searching;
            deadline_.start();
            say(tr("仪器连接中断，正在重新查找……"));
        }
        return;
    }
    if (stage_ != Stage::Searching)
        return;
    deadline_.stop();
    const int port = core_.serial().CommPort();
    switch (options_.command) {
    case cli_options::Command::Find:
        if (printOut(QStringLiteral("COM%1 %2\n").arg(port).arg(core_.serial().deviceName())))
            finish(cli_options::kExitSuccess);
        return;
    case cli_options::Command::Count:
    case cli_options::Command::Read:
        // The instrument keeps the deadline of the count itself.
        stage_ = Stage::AwaitingCount;
        later([this] {
            if (stage_ == Stage::AwaitingCount)
                core_.read();
        });
        return;
    case cli_options::Command::Live:
        stage_ = Stage::Live;
        if (linkedBefore_)
            say(tr("已重新连接：COM%1").arg(port));
        else if (options_.csv && !printOut(QString::fromLatin1(csv_rows::liveHeader() + '\n')))
            return;
        linkedBefore_ = true;
        return;
    }
}

// No count came. An instrument that went away (or away before it was
// asked) is looked for again, within --timeout; one that does not answer the
// count ends the command.
void CliSession::onCountFailed(Instrument::CountFailure why, const QString &message)
{
    if (stage_ != Stage::AwaitingCount)
        return;
    if (why == Instrument::CountFailure::NoAnswer) {
        if (options_.command == cli_options::Command::Read)
            writeAndFinish(cli_options::kExitInterrupted, message, Result::Partial);
        else
            finish(cli_options::kExitInterrupted, message);
        return;
    }
    stage_ = Stage::Searching;
    deadline_.start();
    say(tr("%1正在重新查找……").arg(message));
}

void CliSession::onGroupCount(qint32 savesum)
{
    if (stage_ != Stage::AwaitingCount)
        return;
    deadline_.stop();
    if (options_.command == cli_options::Command::Count) {
        if (printOut(QString::number(savesum) + QLatin1Char('\n')))
            finish(cli_options::kExitSuccess);
        return;
    }
    stage_ = Stage::ReadingOut;
    later([this, savesum] { beginReadOut(savesum); });
}

void CliSession::beginReadOut(qint32 savesum)
{
    if (stage_ != Stage::ReadingOut)
        return;  // stopped meanwhile
    // The plan as the read-range dialog makes it from its two boxes.
    const read_plan::Plan plan =
        options_.all ? read_plan::makePlan(read_plan::Choice::All, 0, 0, savesum)
                     : read_plan::fromTexts(read_plan::Choice::Range, options_.rangeFrom,
                                            options_.rangeTo, savesum);
    // Now that the number of groups is known: .xls holds 65536 rows.
    const QString problem = output_->problem(plan.lssavesum, plan.memnum);
    if (!problem.isEmpty()) {
        finish(cli_options::kExitNotWritten, problem);
        return;
    }
    if (plan.hasGroups())
        progress_.start(plan.memnum);
    core_.startReadOut(plan);
}

void CliSession::onLiveReading(const Instrument::LiveReading &reading)
{
    if (stage_ != Stage::Live)
        return;
    // The reading just told is the history's newest entry, with its time.
    const LiveHistory::Entry &entry = core_.liveHistory().at(core_.liveHistory().size() - 1);
    QString text;
    if (options_.csv) {
        text = QString::fromLatin1(csv_rows::liveLine(entry));
    } else {
        text = QDateTime::fromMSecsSinceEpoch(entry.msecsSinceEpoch).toString(kLiveTimeFormat);
        for (int c = 0; c < LiveHistory::kChannels; ++c)
            text += QStringLiteral("  I%1: %2")
                        .arg(c + 1)
                        .arg(reading.texts[c], reading_format::kMaxReadingLength);
        text += QLatin1Char('\n');
    }
    ++livePrinted_;
    if (printOut(text) && options_.count > 0 && livePrinted_ >= options_.count)
        finish(cli_options::kExitSuccess);
}

void CliSession::onDeadline()
{
    if (stage_ != Stage::Searching)
        return;
    const QString seconds = QString::number(options_.timeoutMs / kMsPerSecond);
    // What each port that answered otherwise, or could not be used, said:
    // not the instrument, no permission, busy.
    const QStringList notes = port_problem::noteLines(core_.portNotes());
    QString message =
        notes.isEmpty()
            ? tr("没有找到仪器：%1 秒内 COM1 至 COM16 都没有应答。").arg(seconds)
            : tr("没有找到仪器：%1 秒内本仪器没有在 COM1 至 COM16 上应答。各端口的情况：")
                  .arg(seconds);
    for (const QString &line : notes)
        message += QStringLiteral("\n  ") + line;
    finish(cli_options::kExitNoInstrument, message);
}

bool CliSession::printOut(const QString &text)
{
    const int error = console_output::print(stdout, text);
    if (error == 0)
        return true;
    // A reader that went away (| head) has what it wanted.
    if (system_error::causeOf(error) == system_error::Cause::BrokenPipe)
        finish(cli_options::kExitSuccess);
    else
        finish(cli_options::kExitNotWritten, OutputFile::standardOutputFailure(error));
    return false;
}

void CliSession::later(const std::function<void()> &step)
{
    QMetaObject::invokeMethod(this, step, Qt::QueuedConnection);
}

void CliSession::finish(int code, const QString &message)
{
    endWith(message, [code] { return code; });
}

void CliSession::writeAndFinish(int code, const QString &message, Result result)
{
    endWith(message, [this, code, result] {
        // The instrument cut the range at the last group stored.
        const qint32 groups = std::max(core_.memnum(), 0);
        // The port is closed: a pipe that waits for its reader must still hear Ctrl+C.
        if (output_->isStream())
            quit_on_signals::restoreDefaults();
        const OutputFile::Outcome out = output_->write(core_.store(), core_.lssavesum(), groups,
                                                       secFlag(), result == Result::Whole);
        switch (out.kind) {
        case OutputFile::Outcome::Kind::Failed:
            say(out.failure);
            return cli_options::kExitNotWritten;
        case OutputFile::Outcome::Kind::ReaderGone: return code;
        case OutputFile::Outcome::Kind::Kept:
            say(tr("没有读到数据组，原有文件“%1”保持不变。").arg(output_->shownName()));
            return code;
        case OutputFile::Outcome::Kind::Written: break;
        }
        if (out.beside)
            say(tr("已写入 %1 组：%2（读取没有完成，原有文件“%3”保持不变）")
                    .arg(groups)
                    .arg(out.path, output_->shownName()));
        else if (!options_.quiet)
            say(tr("已写入 %1 组：%2").arg(groups).arg(out.path));
        return code;
    });
}

void CliSession::endWith(const QString &message, const std::function<int()> &lastStep)
{
    if (stage_ == Stage::Done)
        return;
    stage_ = Stage::Done;
    later([this, message, lastStep] {
        deadline_.stop();
        progress_.end();
        core_.shutDown();  // the port is free before the file is written
        say(message);
        QCoreApplication::exit(lastStep());
    });
}

quint8 CliSession::secFlag() const
{
    switch (options_.seconds) {
    case cli_options::Seconds::With: return record_store::kWithSeconds;
    case cli_options::Seconds::Without: return record_store::kWithoutSeconds;
    case cli_options::Seconds::AsInstrument: break;
    }
    return core_.secFlag();
}
