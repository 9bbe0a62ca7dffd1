#include "core/link/port_problem.h"

namespace port_problem {

QString portText(int port, const QString &device)
{
    return QStringLiteral("COM%1 = %2").arg(port).arg(device);
}

QString reason(const SerialIo::OpenError &error)
{
    switch (error.kind) {
    case SerialIo::OpenFailure::None: return QString();
    case SerialIo::OpenFailure::NotFound: return QStringLiteral("设备不存在");
    case SerialIo::OpenFailure::NoPermission:
        return QStringLiteral("无权限访问（请把用户加入 dialout 组）");
    case SerialIo::OpenFailure::Busy: return QStringLiteral("设备忙");
    case SerialIo::OpenFailure::Other: break;
    }
    return error.detail.isEmpty() ? QStringLiteral("无法打开")
                                  : QStringLiteral("无法打开（%1）").arg(error.detail);
}

QString notInstrument() { return QStringLiteral("不是本仪器"); }

QString withReason(const QString &portText, const QString &reason)
{
    return portText + QStringLiteral("：") + reason;
}

bool worthReporting(SerialIo::OpenFailure kind)
{
    return kind != SerialIo::OpenFailure::None && kind != SerialIo::OpenFailure::NotFound;
}

}  // namespace port_problem
