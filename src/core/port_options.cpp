#include "core/port_options.h"

#include "core/instrument.h"
#include "core/link/port_number.h"
#include "platform/port_map.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace port_options {

Declared declare(QCommandLineParser &parser)
{
    Declared declared{
        QCommandLineOption(
            QStringLiteral("port-dir"),
            QCoreApplication::translate("command_line",
                                        "把端口 n 当作 <dir> 中的条目 COMn（Windows 上没有）；"
                                        "优先于 HARLUNE_PORT_DIR。"),
            QStringLiteral("dir")),
        QCommandLineOption(
            QStringLiteral("port"),
            QCoreApplication::translate("command_line", "查找仪器时先探测端口 <n>（%1 到 %2）。")
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
            return QCoreApplication::translate("command_line", "--port-dir：'%1' 不是目录")
                .arg(dir.filePath());
        ports->portDir = dir.absoluteFilePath();
    }
    if (parser.isSet(declared.firstPort)) {
        bool ok = false;
        const QString given = parser.value(declared.firstPort);
        const int n = given.toInt(&ok);
        if (!ok || n < port_number::kFirstSearched || n > port_number::kHighestSearched)
            return QCoreApplication::translate("command_line",
                                               "--port 需要 %1 到 %2 的端口号，不是 '%3'")
                .arg(port_number::kFirstSearched)
                .arg(port_number::kHighestSearched)
                .arg(given);
        ports->firstPort = n;
    }
    return QString();
}

qint16 portBefore(int firstPort)
{
    return qint16(firstPort == port_number::kFirstSearched ? port_number::kHighestSearched
                                                           : firstPort - 1);
}

void apply(const Ports &ports, Instrument &core)
{
    port_map::setPortDir(ports.portDir);
    if (ports.firstPort != 0)
        core.setPort(portBefore(ports.firstPort));
}

}  // namespace port_options
