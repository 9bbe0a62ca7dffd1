#include "core/port_options.h"

#include "core/instrument.h"
#include "core/link/port_number.h"
#include "platform/port_map.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace port_options {

Declared declare(QCommandLineParser &parser)
{
    Declared declared{
        QCommandLineOption(QStringLiteral("port-dir"),
                           QStringLiteral("Take port n as the entry COMn in <dir> (not on "
                                          "Windows); wins over HARLUNE_PORT_DIR."),
                           QStringLiteral("dir")),
        QCommandLineOption(
            QStringLiteral("port"),
            QStringLiteral("Probe port <n> first when searching for the instrument (%1 to %2).")
                .arg(port_number::kFirstSearched)
                .arg(port_number::kHighestSearched),
            QStringLiteral("n")),
    };
    parser.addOption(declared.portDir);
    parser.addOption(declared.firstPort);
    return declared;
}

QString read(const QCommandLineParser &parser, const Declared &declared, Ports *ports)
{
    if (parser.isSet(declared.portDir)) {
        const QFileInfo dir(parser.value(declared.portDir));
        if (!dir.isDir())
            return QStringLiteral("--port-dir: '%1' is not a directory").arg(dir.filePath());
        ports->portDir = dir.absoluteFilePath();
    }
    if (parser.isSet(declared.firstPort)) {
        bool ok = false;
        const QString given = parser.value(declared.firstPort);
        const int n = given.toInt(&ok);
        if (!ok || n < port_number::kFirstSearched || n > port_number::kHighestSearched)
            return QStringLiteral("--port takes a port number from %1 to %2, not '%3'")
                .arg(port_number::kFirstSearched)
                .arg(port_number::kHighestSearched)
                .arg(given);
        ports->firstPort = n;
    }
    return QString();
}

QString textBefore(int firstPort)
{
    const int before =
        firstPort == port_number::kFirstSearched ? port_number::kHighestSearched : firstPort - 1;
    return QString::number(before);
}

void apply(const Ports &ports, Instrument &core)
{
    port_map::setPortDir(ports.portDir);
    if (ports.firstPort != 0)
        core.setPortText(textBefore(ports.firstPort));
}

}  // namespace port_options
