#pragma once

#include <QString>
#include <QtGlobal>

// The file operations a checked save is made of, one system call each, so
// that every failure comes back with the system's own error number (errno on
// Unix, GetLastError() on Windows; see system_error.h). Each returns that
// number, 0 on success.
//
// Tests put a layer of their own in between to make a chosen call fail, as a
// full disk would; the program always uses system().
class FileLayer {
public:
    // An open file: a descriptor on Unix, a HANDLE on Windows.
    using Handle = qintptr;
    // What a name stands for, links followed.
    enum class Kind {
        Missing,  // nothing yet
        File,     // a regular file, which a save replaces
        Folder,
        Stream,  // a named pipe or a device, which a save writes into as it is
    };

    virtual ~FileLayer() = default;

    // Why a file could not be written under `path`: the name cannot be looked
    // up (too long, a folder on the way missing), or names a folder or a
    // file that may not be written. 0 when it may, or when there is no file
    // of that name yet.
    virtual int targetProblem(const QString &path) = 0;
    virtual Kind kindOf(const QString &path) = 0;
    // Creates a new file `path` for writing; fails, with Cause::Exists, when
    // the name is taken, so that nobody else's file is ever opened.
    virtual int createNew(const QString &path, Handle *handle) = 0;
    // Opens the stream `path` for writing as it is: nothing is created or
    // truncated. A named pipe waits here for its reader.
    virtual int openStream(const QString &path, Handle *handle) = 0;
    // Writes up to `size` bytes and says in `written` how many the system took.
    virtual int write(Handle handle, const char *data, qint64 size, qint64 *written) = 0;
    // Waits until the file's data is on the device.
    virtual int sync(Handle handle) = 0;
    virtual int close(Handle handle) = 0;
    // Puts the file `from` under the name `to` in one step, replacing the
    // file there, if any, at once.
    virtual int replace(const QString &from, const QString &to) = 0;
    virtual int remove(const QString &path) = 0;
    virtual int size(const QString &path, qint64 *bytes) = 0;

    // The operating system's own files.
    static FileLayer &system();
};
