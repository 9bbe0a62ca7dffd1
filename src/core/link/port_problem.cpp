#include "core/link/port_problem.h"

#include "platform/port_map.h"
#include "platform/system_error.h"

#include <QCoreApplication>

#include <algorithm>

namespace port_problem {

QString portText(int port, const QString &device)
{
    return QStringLiteral("COM%1 = %2").arg(port).arg(device);
}

std::optional<Note> openFailure(const SerialIo::OpenError &error)
{
    switch (error.kind) {
    case SerialIo::OpenFailure::None: return std::nullopt;
    case SerialIo::OpenFailure::NotFound: return Note{Why::NotFound, {}};
    case SerialIo::OpenFailure::NoPermission: return Note{Why::NoPermission, {}};
    case SerialIo::OpenFailure::Busy: return Note{Why::Busy, {}};
    case SerialIo::OpenFailure::Other: break;
    }
    return Note{Why::CannotOpen, error.detail};
}

Note notInstrument() { return {Why::NotInstrument, {}}; }

QString reason(const Note &note)
{
    switch (note.why) {
    case Why::NotFound: return QCoreApplication::translate("port_problem", "设备不存在");
    case Why::NoPermission:
        return QCoreApplication::translate("port_problem", "无权限访问（请把用户加入 dialout 组）");
    case Why::Busy: return QCoreApplication::translate("port_problem", "设备忙");
    case Why::NotInstrument: return QCoreApplication::translate("port_problem", "不是本仪器");
    case Why::CannotOpen: break;
    }
    return note.detail.isEmpty() ? QCoreApplication::translate("port_problem", "无法打开")
                                 : QCoreApplication::translate("port_problem", "无法打开（%1）")
                                       .arg(system_error::inUserWords(note.detail));
}

QString withReason(const QString &portText, const QString &reason)
{
    return QCoreApplication::translate("port_problem", "%1：%2").arg(portText, reason);
}

bool worthReporting(const Note &note) { return note.why != Why::NotFound; }

QStringList noteLines(const QHash<qint16, Note> &notes)
{
    QList<qint16> ports = notes.keys();
    std::sort(ports.begin(), ports.end());
    QStringList lines;
    for (qint16 port : ports) {
        const Note &note = notes.value(port);
        if (worthReporting(note))
            lines << withReason(portText(port, port_map::deviceFor(port)), reason(note));
    }
    return lines;
}

}  // namespace port_problem
