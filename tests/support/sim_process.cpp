#include "support/sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

namespace {
constexpr int kStartTimeoutMs = 5000;
}

QString SimProcess::programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/harlune-sim");
}

bool SimProcess::start(const QString &portDir, int port, const QStringList &extraArguments)
{
    link_ = portDir + QStringLiteral("/COM%1").arg(port);
    process_.start(programPath(), QStringList{QStringLiteral("--port-dir"), portDir,
                                              QStringLiteral("--port"), QString::number(port)}
                                      + extraArguments);
    // The program says "... linked as COMn" once the link is there.
    return process_.waitForStarted(kStartTimeoutMs) && process_.waitForReadyRead(kStartTimeoutMs)
           && process_.readLine().contains("linked as");
}

bool SimProcess::waitForLine(const QString &text, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (true) {
        while (process_.canReadLine()) {
            if (QString::fromUtf8(process_.readLine()).contains(text))
                return true;
        }
        const qint64 left = timeoutMs - waited.elapsed();
        if (left <= 0 || !process_.waitForReadyRead(int(left)))
            return false;
    }
}

void SimProcess::kill()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished(kStartTimeoutMs);
    QFile::remove(link_);
}
