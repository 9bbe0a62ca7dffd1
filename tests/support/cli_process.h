#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// harlune-cli as a script runs it: a process of its own, built next to the
// tests, with HARLUNE_PORT_DIR pointing at a test's port directory. What it
// prints is gathered as it comes, so a test can act on its progress.
class CliProcess {
public:
    explicit CliProcess(const QString &portDir);
    ~CliProcess();

    static QString programPath();
    // Changes the environment it starts with (PATH, for one).
    QProcessEnvironment &environment() { return environment_; }
    // Where relative file names go.
    void setWorkingDirectory(const QString &dir) { process_.setWorkingDirectory(dir); }
    // Standard output into a file (/dev/full) rather than to the test.
    void setOutputFile(const QString &path) { process_.setStandardOutputFile(path); }
    // Standard output into a pipe whose reader has gone, as `| head` leaves it.
    bool setOutputReaderGone();

    void start(const QStringList &arguments);
    // Waits for it to end; false (and it is killed) when it does not within `timeoutMs`.
    bool finish(int timeoutMs);
    // start, then finish.
    bool run(const QStringList &arguments, int timeoutMs);
    // Waits until its standard error holds `text`.
    bool waitForError(const QString &text, int timeoutMs);
    void signal(int signal) const;
    // The share of one core it has used since it started, while it runs: a
    // program that only waits stays far below 1.
    double cpuShare() const;

    int exitCode() const { return process_.exitCode(); }
    bool crashed() const { return process_.exitStatus() == QProcess::CrashExit; }
    QString out() const { return QString::fromUtf8(out_); }
    QString err() const { return QString::fromUtf8(err_); }
    // From start to its end.
    qint64 elapsedMs() const { return elapsedMs_; }

private:
    QProcessEnvironment environment_;
    QProcess process_;
    QByteArray out_;
    QByteArray err_;
    QElapsedTimer clock_;
    qint64 elapsedMs_ = -1;
    int readerGonePipe_ = -1;  // the writing end, until the program has it
};
