#include "core/link/read_out.h"

#include <QCoreApplication>

namespace read_out {

QString reason(End why)
{
    switch (why) {
    case End::Disconnected: return QCoreApplication::translate("read_out", "仪器已断开");
    case End::NoAnswer: return QCoreApplication::translate("read_out", "仪器未应答");
    case End::BadData: return QCoreApplication::translate("read_out", "仪器发来的数据连续出错");
    case End::Stopped: break;
    }
    return QCoreApplication::translate("read_out", "已被中止");
}

QString interruptionText(End why, qint32 first, qint32 last)
{
    const QString arrived = last < first
                                ? QCoreApplication::translate("read_out", "没有读到任何数据组。")
                                : QCoreApplication::translate("read_out", "已读取第 %1 至 %2 组。")
                                      .arg(first)
                                      .arg(last);
    return QCoreApplication::translate("read_out", "读取中断：%1。%2").arg(reason(why), arrived);
}

QString countFailureText(End why)
{
    return QCoreApplication::translate("read_out", "没有读到组数：%1。").arg(reason(why));
}

}  // namespace read_out
