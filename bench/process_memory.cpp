#include "process_memory.h"

#include <QByteArray>
#include <QFile>

namespace process_memory {

double statusMiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / kKiBPerMiB;
    }
    return 0;
}

bool resetPeak()
{
    // 5 clears the peak resident size (Documentation/filesystems/proc.rst).
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

}  // namespace process_memory
