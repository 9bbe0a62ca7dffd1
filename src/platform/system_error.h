#pragma once

#include <QString>

#include <cstddef>

// What the system's error number of a failed file operation means: errno on
// Unix, GetLastError() on Windows. Each platform sorts its own numbers into
// the same few causes, so the user reads the same words on both, in the
// language of the rest of the message.
namespace system_error {

enum class Cause {
    NoSpace,      // the device, or the user's quota on it, is full
    ReadOnly,     // a read-only file system or a write-protected medium
    Denied,       // no permission
    NameTooLong,  // a name longer than the file system allows
    Exists,       // the name is taken
    IsFolder,     // a file was wanted and a folder is there
    NotFolder,    // a part of the path is a file, not a folder
    NoSuchFile,   // nothing of that name, or a folder on the way is missing
    BrokenPipe,   // the reading end of a pipe was closed
    Busy,         // a device or file in use
    InputOutput,  // the device failed
    Other,
};

// A number of the platform's own and the cause it stands for.
struct Known {
    int code;
    Cause cause;
};
// This platform's numbers that have a cause, each once; defined beside each
// platform's file layer (system_files_*.cpp).
const Known *knownBegin();
const Known *knownEnd();

Cause causeOf(int code);

// The cause of `code` in the user's words ("磁盘空间不足", "无权限", "这是一个
// 文件夹" ...); for any other number the system's own text for it, which is
// more use to the user, and to whoever helps them, than no reason at all.
QString inUserWords(int code);

// The same for a text the system made of a number, as qt_error_string() and
// QFile::errorString() give it, which is English on most systems: our words
// when it is the text of a number with a cause, the text itself otherwise.
QString inUserWords(const QString &systemText);

}  // namespace system_error
