#pragma once

#include <QString>

// The folder the save dialog opens in.
namespace save_folder {

// True for a folder of the operating system or of installed programs, where
// a user's workbooks do not belong: /usr, /opt, /bin and their like, and on
// Windows "Program Files" and "Windows" on any drive. Either kind of
// separator is understood on every system, and case does not matter on
// Windows paths.
bool isSystemFolder(const QString &path);

// The last folder saved to in this run; without one, the program's own folder
// when it can be written and is no system folder (a program unpacked into a
// folder of its own); otherwise the user's documents folder.
QString startFolder(const QString &lastUsed, const QString &programFolder,
                    bool programFolderWritable, const QString &documentsFolder);

}  // namespace save_folder
