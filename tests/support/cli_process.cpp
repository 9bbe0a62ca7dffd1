#include "support/cli_process.h"

#include "support/wait.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kStartTimeoutMs = 5000;
// utime and stime, the 14th and 15th fields of /proc/<pid>/stat, counted
// after the command name's closing bracket (which may hold blanks).
constexpr int kUserTimeField = 11;
constexpr int kSystemTimeField = 12;
}  // namespace

CliProcess::CliProcess(const QString &portDir)
    : environment_(QProcessEnvironment::systemEnvironment())
{
    environment_.insert(QStringLiteral("HARLUNE_PORT_DIR"), portDir);
    QObject::connect(&process_, &QProcess::readyReadStandardOutput,
                     [this] { out_ += process_.readAllStandardOutput(); });
    QObject::connect(&process_, &QProcess::readyReadStandardError,
                     [this] { err_ += process_.readAllStandardError(); });
}

CliProcess::~CliProcess()
{
    if (readerGonePipe_ >= 0)
        ::close(readerGonePipe_);
    process_.disconnect();
    process_.kill();
    process_.waitForFinished(kStartTimeoutMs);
}

QString CliProcess::programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/harlune-cli");
}

bool CliProcess::setOutputReaderGone()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    ::close(ends[0]);
    readerGonePipe_ = ends[1];
    const int writing = ends[1];
    process_.setChildProcessModifier([writing] { ::dup2(writing, STDOUT_FILENO); });
    return true;
}

void CliProcess::start(const QStringList &arguments)
{
    process_.setProcessEnvironment(environment_);
    clock_.start();
    process_.start(programPath(), arguments);
    process_.waitForStarted(kStartTimeoutMs);
    if (readerGonePipe_ >= 0) {
        ::close(readerGonePipe_);
        readerGonePipe_ = -1;
    }
}

bool CliProcess::finish(int timeoutMs)
{
    const bool ended =
        waitUntil([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs);
    elapsedMs_ = clock_.elapsed();
    if (!ended) {
        process_.kill();
        process_.waitForFinished(kStartTimeoutMs);
    }
    out_ += process_.readAllStandardOutput();
    err_ += process_.readAllStandardError();
    return ended;
}

bool CliProcess::run(const QStringList &arguments, int timeoutMs)
{
    start(arguments);
    return finish(timeoutMs);
}

bool CliProcess::waitForError(const QString &text, int timeoutMs)
{
    return waitUntil([&] { return err().contains(text); }, timeoutMs);
}

void CliProcess::signal(int signal) const { ::kill(pid_t(process_.processId()), signal); }

double CliProcess::cpuShare() const
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process_.processId()));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double ticks =
        fields.value(kUserTimeField).toDouble() + fields.value(kSystemTimeField).toDouble();
    const double seconds = ticks / double(::sysconf(_SC_CLK_TCK));
    return seconds / (clock_.elapsed() / 1000.0);
}
