#include "platform/system_error.h"

namespace system_error {

QString inUserWords(int code)
{
    switch (causeOf(code)) {
    case Cause::NoSpace: return QStringLiteral("磁盘空间不足");
    case Cause::ReadOnly: return QStringLiteral("只读文件系统");
    case Cause::Denied: return QStringLiteral("无权限");
    case Cause::NameTooLong: return QStringLiteral("文件名太长");
    case Cause::Exists:
    case Cause::Other: break;
    }
    return qt_error_string(code);
}

}  // namespace system_error
