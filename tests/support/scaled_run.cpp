#include "support/scaled_run.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace scaled_run {

namespace {
const char kScaleVariable[] = "QT_SCALE_FACTOR";
constexpr int kRunTimeoutMs = 120000;
}  // namespace

bool isScaled() { return qEnvironmentVariableIsSet(kScaleVariable); }

QString failures(const QString &scaleFactor, const QStringList &functions)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kScaleVariable), scaleFactor);
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), functions);
    if (!child.waitForFinished(kRunTimeoutMs)) {
        child.kill();
        child.waitForFinished();
        return QStringLiteral("did not finish at scale %1").arg(scaleFactor);
    }
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return {};
    return QString::fromUtf8(child.readAll());
}

}  // namespace scaled_run
