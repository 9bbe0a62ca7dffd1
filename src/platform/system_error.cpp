#include "platform/system_error.h"

#include <QCoreApplication>

namespace system_error {

QString inUserWords(int code)
{
    switch (causeOf(code)) {
    case Cause::NoSpace: return QCoreApplication::translate("system_error", "磁盘空间不足");
    case Cause::ReadOnly: return QCoreApplication::translate("system_error", "只读文件系统");
    case Cause::Denied: return QCoreApplication::translate("system_error", "无权限");
    case Cause::NameTooLong: return QCoreApplication::translate("system_error", "文件名太长");
    case Cause::Exists:
    case Cause::Other: break;
    }
    return qt_error_string(code);
}

}  // namespace system_error
