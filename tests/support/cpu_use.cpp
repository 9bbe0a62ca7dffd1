#include "support/cpu_use.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

namespace {
constexpr double kMicrosecondsPerSecond = 1e6;
constexpr double kMillisecondsPerSecond = 1e3;

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
           + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / kMicrosecondsPerSecond;
}
}  // namespace

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuShareOver(int ms)
{
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(ms);
    return (cpuSeconds() - before) / (double(wall.elapsed()) / kMillisecondsPerSecond);
}
