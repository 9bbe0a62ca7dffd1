#pragma once

#include <QString>
#include <QStringList>

// Runs test functions of the running test program once more, in a child
// process whose screen is scaled by QT_SCALE_FACTOR as on a high-DPI screen.
namespace scaled_run {

// True inside such a child run, which must not start runs of its own.
bool isScaled();

// Empty when every function passed at that scale; otherwise the child's report.
QString failures(const QString &scaleFactor, const QStringList &functions);

}  // namespace scaled_run
