#pragma once

#include "platform/file_layer.h"

#include <QString>

#include <functional>

// How an export reaches the file the user named. A CheckedSave is opened
// first, so that a target that cannot be written is reported before the work
// is done; the new file is made in a scratch folder of its own; then it is put
// in place whole, or the old file stays as it was.
namespace scratch_save {

// Makes the new file inside `scratchDir` and returns its path; on failure
// returns an empty text with the failure, in the user's words, in *failure.
using MakeFile = std::function<QString(const QString &scratchDir, QString *failure)>;

// Why `target` cannot be written, found as a save would find it, by making
// the temporary file beside it (which goes again); empty when it can. A
// program that works long before it saves asks first.
QString targetProblem(const QString &target, FileLayer &files = FileLayer::system());

// Returns the failure in the user's words, empty on success.
QString save(const QString &target, FileLayer &files, const MakeFile &make);

}  // namespace scratch_save
