#include "core/link/read_out.h"

namespace read_out {

QString interruptionText(End why, qint32 first, qint32 last)
{
    QString reason;
    switch (why) {
    case End::Disconnected: reason = QStringLiteral("仪器已断开"); break;
    case End::NoAnswer: reason = QStringLiteral("仪器未应答"); break;
    case End::BadData: reason = QStringLiteral("仪器发来的数据连续出错"); break;
    case End::Stopped: reason = QStringLiteral("已被中止"); break;
    }
    const QString arrived = last < first
                                ? QStringLiteral("没有读到任何数据组。")
                                : QStringLiteral("已读取第 %1 至 %2 组。").arg(first).arg(last);
    return QStringLiteral("读取中断：%1。%2").arg(reason, arrived);
}

}  // namespace read_out
