// CPU use of Harlune after the instrument dies (the simulator process is
// killed with SIGKILL, as when a USB adapter is pulled out), in four states:
// idle and linked, during a read-out, after Read and Cancel, and with the
// read-range dialog open. Each is measured over a window (10 s by default;
// the first argument changes it) next to a baseline from the same run: the
// window linked to a live simulator, doing its normal polling.
// Target: each state under 2 % of one core.
#include "gui/form2.h"
#include "support/cpu_use.h"
#include "support/sim_process.h"
#include "support/sim_window.h"
#include "support/wait.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdio>
#include <functional>

namespace {

constexpr int kDefaultWindowSeconds = 10;
constexpr int kSettleMs = 500;  // the loss is noticed and dealt with before measuring
constexpr int kStepTimeoutMs = 20000;

// Percent of one core used while the event loop runs for seconds.
double cpuPercentOver(int seconds) { return 100.0 * cpuShareOver(seconds * 1000); }

// One state: the window linked to a simulator process, brought into the state
// by `enter`, the simulator killed (unless `kill` is false), then measured.
double measure(int seconds, const QStringList &simArguments,
               const std::function<bool(SimWindow &)> &enter, bool kill = true)
{
    SimWindow w;
    w.killInstrument();
    SimProcess simulator;
    if (!simulator.start(w.portDir.path(), w.port, simArguments)
        || !waitUntil([&] { return w.isLinked(); }, kStepTimeoutMs) || !enter(w))
        return -1;
    if (kill)
        simulator.kill();
    waitUntil([] { return false; }, kSettleMs);
    return cpuPercentOver(seconds);
}

bool openDialog(SimWindow &w)
{
    w.form->Command2_Click();
    return waitUntil([&] { return w.form->readRangeDialog() != nullptr; }, kStepTimeoutMs);
}

void print(const char *state, double percent, double baseline)
{
    if (percent < 0) {
        std::printf("%-34s failed to reach the state\n", state);
        return;
    }
    std::printf("%-34s %6.2f %% of one core  (%.2f x baseline)%s\n", state, percent,
                baseline > 0 ? percent / baseline : 0.0, percent < 2.0 ? "" : "  OVER 2 %");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds =
        argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : kDefaultWindowSeconds;
    std::printf("window: %d s per state\n", seconds);

    const double baseline = measure(
        seconds, {}, [](SimWindow &) { return true; }, false);
    print("baseline: linked, polling", baseline, baseline);
    print("killed while idle", measure(seconds, {}, [](SimWindow &) { return true; }), baseline);
    print("killed during a read-out",
          measure(
              seconds,
              {QStringLiteral("--groups"), QStringLiteral("200000"), QStringLiteral("--line-rate")},
              [](SimWindow &w) {
                  if (!openDialog(w))
                      return false;
                  w.form->readRangeDialog()->Text2->setText(QStringLiteral("200000"));
                  w.form->readRangeDialog()->Command1_Click();
                  return waitUntil([&] { return w.core->storedLast() >= 1000; }, kStepTimeoutMs);
              }),
          baseline);
    print("killed after Read and Cancel",
          measure(seconds, {},
                  [](SimWindow &w) {
                      if (!openDialog(w))
                          return false;
                      w.form->readRangeDialog()->Command2_Click();
                      return true;
                  }),
          baseline);
    print("killed with the dialog open", measure(seconds, {}, openDialog), baseline);
    return 0;
}
