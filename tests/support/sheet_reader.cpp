#include "support/sheet_reader.h"

#include "platform/office_converter.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace {

// openpyxl takes a while for the largest sheets.
constexpr int kReaderTimeoutMs = 120000;

}  // namespace

QString sheetReaderScript()
{
    return qEnvironmentVariable("HARLUNE_SOURCE_DIR")
           + QStringLiteral("/tests/export_read_sheet.py");
}

QStringList Sheet::merged() const
{
    QStringList out;
    for (const QJsonValue &v : raw.value(QStringLiteral("merged")).toArray())
        out << v.toString();
    return out;
}

Sheet readSheet(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {sheetReaderScript(), path});
    reader.waitForFinished(kReaderTimeoutMs);
    const QByteArray out = reader.readAllStandardOutput();
    if (reader.exitCode() != 0)
        qWarning() << reader.readAllStandardError();
    return {QJsonDocument::fromJson(out).object()};
}

const char *missingSheetReader()
{
    static const bool available = [] {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        return probe.waitForFinished(kReaderTimeoutMs) && probe.exitStatus() == QProcess::NormalExit
               && probe.exitCode() == 0;
    }();
    return available ? nullptr : "needs /usr/bin/python3 with openpyxl (Debian: python3-openpyxl)";
}

const char *missingLibreOffice()
{
    return OfficeConverter::findProgram().isEmpty()
               ? "needs LibreOffice (Debian: libreoffice-calc-nogui)"
               : nullptr;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
