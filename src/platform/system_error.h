#pragma once

#include <QString>

// What the system's error number of a failed file operation means: errno on
// Unix, GetLastError() on Windows. Each platform sorts its own numbers into
// the same few causes, so the user reads the same words on both.
namespace system_error {

enum class Cause {
    NoSpace,      // the device, or the user's quota on it, is full
    ReadOnly,     // a read-only file system or a write-protected medium
    Denied,       // no permission
    NameTooLong,  // a name longer than the file system allows
    Exists,       // the name is taken
    Other,
};

// Defined beside each platform's file layer (system_files_*.cpp).
Cause causeOf(int code);

// The cause in the user's words: "磁盘空间不足", "只读文件系统", "无权限",
// "文件名太长"; for any other number the system's own text for it, which is
// more use to the user, and to whoever helps them, than no reason at all.
QString inUserWords(int code);

}  // namespace system_error
