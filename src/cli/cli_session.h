#pragma once

#include "cli/cli_options.h"
#include "cli/output_file.h"
#include "cli/progress_report.h"
#include "core/instrument.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

// One run of harlune-cli. It asks the instrument for things through its
// intents and follows its signals until the command is done, then closes
// the port and ends the event loop with the exit code. The protocol is all
// the core's, as in the window: the search, the probe, the live poll, the
// read-out's blocks, framing and watchdog, and what ends a read-out early.
class CliSession : public QObject {
    Q_OBJECT
public:
    CliSession(Instrument &core, const cli_options::Options &options, QObject *parent = nullptr);

    // Begins the command; called from the running event loop, which it ends.
    void start();
    // Ctrl+C, SIGTERM or SIGHUP: live without --count ends as done; a
    // read-out ends as interrupted and what arrived is written; anything
    // else ends as stopped.
    void stop();

private:
    enum class Stage {
        Searching,      // until the instrument answers (again)
        AwaitingCount,  // Read is sent; until the group count comes or fails
        ReadingOut,     // the read-out runs
        Live,           // live readings are printed
        Done,           // the command is over; the event loop is ending
    };

    void onLinkChanged(bool linked);
    void onGroupCount(qint32 savesum);
    void onCountFailed(Instrument::CountFailure why, const QString &message);
    void onLiveReading(const Instrument::LiveReading &reading);
    void onDeadline();
    void beginReadOut(qint32 savesum);

    // Ends the command with `code`, saying `message` on standard error when
    // there is one: every timer stops and the port closes.
    void finish(int code, const QString &message = QString());
    // Whether the groups in the store are all that read asked for.
    enum class Result { Whole, Partial };
    // The same for read, after the groups that arrived are written (a file
    // the user has is replaced only by a whole result); a file that cannot
    // be written makes it exit 5.
    void writeAndFinish(int code, const QString &message, Result result);
    // Prints data on standard output. A reader that went away ends the
    // command quietly with 0; any other failure ends it with exit 5 and the
    // cause. False when the command ends.
    bool printOut(const QString &text);
    // Ends the command once, from the event loop: stops the instrument, says
    // `message`, and exits with what `lastStep` returns.
    void endWith(const QString &message, const std::function<int()> &lastStep);
    // Runs `step` from the event loop once the core's procedure that told
    // us has returned: the core is not asked for anything in mid-procedure.
    void later(const std::function<void()> &step);
    quint8 secFlag() const;

    Instrument &core_;
    const cli_options::Options options_;
    std::optional<OutputFile> output_;  // read's file
    ProgressReport progress_;
    QTimer deadline_;  // --timeout, while searching
    Stage stage_ = Stage::Searching;
    bool linkedBefore_ = false;  // the instrument answered once; a link now is a return
    int livePrinted_ = 0;
};
