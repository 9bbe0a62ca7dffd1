#include "core/link/read_out.h"

#include <QCoreApplication>

namespace read_out {

QString interruptionText(End why, qint32 first, qint32 last)
{
    QString reason;
    switch (why) {
    case End::Disconnected: reason = QCoreApplication::translate("read_out", "仪器已断开"); break;
    case End::NoAnswer: reason = QCoreApplication::translate("read_out", "仪器未应答"); break;
    case End::BadData:
        reason = QCoreApplication::translate("read_out", "仪器发来的数据连续出错");
        break;
    case End::Stopped: reason = QCoreApplication::translate("read_out", "已被中止"); break;
    }
    const QString arrived = last < first
                                ? QCoreApplication::translate("read_out", "没有读到任何数据组。")
                                : QCoreApplication::translate("read_out", "已读取第 %1 至 %2 组。")
                                      .arg(first)
                                      .arg(last);
    return QCoreApplication::translate("read_out", "读取中断：%1。%2").arg(reason, arrived);
}

}  // namespace read_out
