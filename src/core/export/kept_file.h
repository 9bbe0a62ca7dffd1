#pragma once

#include "platform/file_layer.h"

#include <QString>

// A file the user already has is replaced only by a whole result. A result
// with no groups leaves it as it is; a read that ended early goes beside it,
// under a name of its own ("data.partial.csv" beside "data.csv"), so that a
// complete earlier file is never lost to a few groups. Where there is no
// file yet, or the name is a stream (a pipe, a device), the result goes to
// the name itself, whatever it holds.
namespace kept_file {

struct Destination {
    enum class Kind {
        Target,   // the name itself
        Beside,   // the name of the partial result, in `path`
        Nothing,  // nothing is written: the file is kept
    };
    Kind kind = Kind::Target;
    QString path;  // where the groups go, for Target and Beside
};

// Where a result of `groups` groups goes that was asked to go to `path`.
// `whole` says that it holds every group the read asked for. Beside with an
// empty path: every partial name is taken.
Destination destinationFor(const QString &path, qint32 groups, bool whole,
                           FileLayer &files = FileLayer::system());

// "data.partial.csv" beside "data.csv", else "data.partial-2.csv" and on:
// the first one that is not taken; empty when none of them is free.
QString partialName(const QString &path, FileLayer &files = FileLayer::system());

}  // namespace kept_file
