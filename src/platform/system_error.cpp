#include "platform/system_error.h"

#include <QCoreApplication>

namespace system_error {

namespace {

// The words of each cause, translated when they are told.
struct Words {
    Cause cause;
    const char *text;
};
constexpr Words kWords[] = {
    {Cause::NoSpace, QT_TRANSLATE_NOOP("system_error", "磁盘空间不足")},
    {Cause::ReadOnly, QT_TRANSLATE_NOOP("system_error", "只读文件系统")},
    {Cause::Denied, QT_TRANSLATE_NOOP("system_error", "无权限")},
    {Cause::NameTooLong, QT_TRANSLATE_NOOP("system_error", "文件名太长")},
    {Cause::Exists, QT_TRANSLATE_NOOP("system_error", "文件已存在")},
    {Cause::IsFolder, QT_TRANSLATE_NOOP("system_error", "这是一个文件夹")},
    {Cause::NotFolder, QT_TRANSLATE_NOOP("system_error", "路径中有一项不是文件夹")},
    {Cause::NoSuchFile, QT_TRANSLATE_NOOP("system_error", "文件或文件夹不存在")},
    {Cause::BrokenPipe, QT_TRANSLATE_NOOP("system_error", "读取的一端已关闭（管道已断开）")},
    {Cause::Busy, QT_TRANSLATE_NOOP("system_error", "设备或文件正忙")},
    {Cause::InputOutput, QT_TRANSLATE_NOOP("system_error", "输入/输出错误")},
};

}  // namespace

Cause causeOf(int code)
{
    for (const Known *k = knownBegin(); k != knownEnd(); ++k) {
        if (k->code == code)
            return k->cause;
    }
    return Cause::Other;
}

QString inUserWords(int code)
{
    const Cause cause = causeOf(code);
    for (const Words &w : kWords) {
        if (w.cause == cause)
            return QCoreApplication::translate("system_error", w.text);
    }
    return qt_error_string(code);
}

QString inUserWords(const QString &systemText)
{
    for (const Known *k = knownBegin(); k != knownEnd(); ++k) {
        if (qt_error_string(k->code) == systemText)
            return inUserWords(k->code);
    }
    return systemText;
}

}  // namespace system_error
