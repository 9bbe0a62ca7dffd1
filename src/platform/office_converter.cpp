#include "platform/office_converter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

constexpr const char *kProgramNames[] = {"soffice", "libreoffice"};
constexpr const char *kProgramFolderVariables[] = {"ProgramFiles", "ProgramW6432",
                                                   "ProgramFiles(x86)"};
constexpr char kInstalledProgram[] = "LibreOffice/program/soffice.exe";
// Time the process gets to end after it was killed.
constexpr int kKillWaitMs = 5000;
// How much of LibreOffice's own output a failure message quotes.
constexpr qsizetype kQuotedOutputChars = 400;

}  // namespace

QString OfficeConverter::findProgram()
{
    for (const char *name : kProgramNames) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
#ifdef Q_OS_WIN
    return findInstalled(programFolders(QProcessEnvironment::systemEnvironment()));
#else
    return QString();
#endif
}

QStringList OfficeConverter::programFolders(const QProcessEnvironment &environment)
{
    QStringList folders;
    for (const char *variable : kProgramFolderVariables) {
        const QString folder = environment.value(QString::fromLatin1(variable));
        if (!folder.isEmpty() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QString OfficeConverter::findInstalled(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QFileInfo program(QDir(folder).filePath(QString::fromLatin1(kInstalledProgram)));
        if (program.isFile())
            return QDir::toNativeSeparators(program.absoluteFilePath());
    }
    return QString();
}

QString OfficeConverter::convert(const QString &source, const QString &suffix,
                                 const QString &filter, const QString &workDir, int timeoutMs)
{
    error_.clear();
    const QDir work(workDir);
    const QString outDir = work.filePath(QStringLiteral("converted"));
    const QString profileDir = work.filePath(QStringLiteral("profile"));
    if (!QDir().mkpath(outDir)) {
        error_ = QStringLiteral("cannot create %1").arg(outDir);
        return QString();
    }

    // An argument list, never a shell: no path is ever parsed as a command.
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.setProgram(program_);
    office.setArguments({
        QStringLiteral("--headless"),
        QStringLiteral("--norestore"),
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileDir).toString(),
        QStringLiteral("--convert-to"),
        suffix + QLatin1Char(':') + filter,
        QStringLiteral("--outdir"),
        outDir,
        source,
    });
    office.start();
    if (!office.waitForStarted()) {
        error_ = office.errorString();
        return QString();
    }
    if (!office.waitForFinished(timeoutMs)) {
        office.kill();
        office.waitForFinished(kKillWaitMs);
        error_ = QStringLiteral("LibreOffice did not finish within %1 s").arg(timeoutMs / 1000);
        return QString();
    }
    const QString output = QString::fromLocal8Bit(office.readAll()).trimmed();
    const QString result =
        QDir(outDir).filePath(QFileInfo(source).completeBaseName() + QLatin1Char('.') + suffix);
    if (office.exitStatus() != QProcess::NormalExit || office.exitCode() != 0
        || !QFileInfo(result).isFile()) {
        error_ = QStringLiteral("LibreOffice exit code %1: %2")
                     .arg(office.exitCode())
                     .arg(output.left(kQuotedOutputChars));
        return QString();
    }
    return result;
}
