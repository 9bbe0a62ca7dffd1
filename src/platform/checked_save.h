#pragma once

#include "platform/file_layer.h"

#include <QString>

// Puts a finished file under a user's file name so that the name holds
// either the whole new file or, after any failure, exactly what it held
// before. Everything the program writes to a path the user chose goes
// through here.
//
// The new file is written into a temporary file in the target's own folder,
// every write is checked, the data is synced to the device, its size on the
// disk compared with the source, and only then is it renamed over the target
// in one step. A failure removes the temporary file and says why.
//
// A named pipe or a device (/dev/stdout, a FIFO a script reads from) is not
// replaced but written into, every write checked: there is nothing there to
// keep, and a file put in its place would never reach its reader.
//
// Not QSaveFile, which does the same in outline: in Qt 6.4 its commit() drops
// the error of the flush it makes on closing, so a workbook small enough to
// stay in its write buffer was renamed into place cut off at the disk's last
// free block and reported as saved; it also ignores the result of its sync,
// names its temporary file after the target (a long name leaves no room for
// the suffix) and keeps no errno, so the cause could not be named.
class CheckedSave {
public:
    explicit CheckedSave(const QString &target, FileLayer &files = FileLayer::system());
    // Removes the temporary file of a save that was not committed.
    ~CheckedSave();
    CheckedSave(const CheckedSave &) = delete;
    CheckedSave &operator=(const CheckedSave &) = delete;

    // Makes the temporary file. Called before the new file is made, it finds
    // a target that cannot be written before the work is done. False, with
    // the reason set, when it fails. A stream is only checked here, not yet
    // opened: a named pipe would wait for its reader.
    bool open();
    // Copies the file at `sourcePath` into place, opening first if open()
    // was not called. False, with the reason set and the target as it was,
    // when anything on the way fails.
    bool commitFrom(const QString &sourcePath);

    // The system's error number of the failure (see system_error.h); 0 when
    // no system call failed, or nothing did.
    int systemError() const { return systemError_; }
    // Why the save failed, in the user's words; empty while all is well.
    QString reason() const { return reason_; }

private:
    bool copyInto(const QString &sourcePath, qint64 *copied);
    bool fail(int systemError);
    bool failWithReason(const QString &reason);
    void discard();

    FileLayer &files_;
    QString target_;     // the file that is replaced, a link followed to its file
    bool stream_;        // the target is written into, not replaced
    QString temporary_;  // empty while there is no temporary file
    FileLayer::Handle handle_ = 0;
    bool handleOpen_ = false;
    int systemError_ = 0;
    QString reason_;
};
