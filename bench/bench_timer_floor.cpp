// The floor under an idle search: a bare Qt window whose only work is three
// timers at the search's rates (20 ms, 70 ms and 500 ms), each doing nothing.
// bench/idle_cpu.sh measures it beside Harlune, as the baseline of the same
// run: what waking up that often costs on this machine, whatever Harlune does.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

namespace {
constexpr int kSearchPaceMs = 20;
constexpr int kStatusPaceMs = 70;
constexpr int kLivePollMs = 500;
constexpr QSize kWindowSize(907, 660);  // about Harlune's window at 96 DPI
}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(kWindowSize);
    window.show();
    int ticks = 0;
    QTimer timers[3];
    const int intervals[3] = {kSearchPaceMs, kStatusPaceMs, kLivePollMs};
    for (int i = 0; i < 3; ++i) {
        QObject::connect(&timers[i], &QTimer::timeout, [&ticks] { ++ticks; });
        timers[i].start(intervals[i]);
    }
    return app.exec();
}
