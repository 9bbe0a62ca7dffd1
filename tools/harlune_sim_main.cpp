// harlune-sim: the simulated instrument on a pseudo-terminal, for running and
// trying Harlune without the real device.

#include "sim/command_line.h"
#include "sim/pty_instrument.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoPort = 1;

// SIGINT and SIGTERM write a byte into this pipe; the event loop reads it and
// quits, so the link is removed on the way out like on any normal exit.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool installQuitOnSignals()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0
           && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    const sim::CommandLine cl = sim::parseCommandLine(app.arguments());
    if (cl.outcome == sim::CommandLine::Outcome::ShowHelp) {
        std::fputs(qPrintable(sim::usageText()), stdout);
        return 0;
    }
    if (cl.outcome == sim::CommandLine::Outcome::Error) {
        std::fprintf(stderr, "harlune-sim: %s\n\n%s", qPrintable(cl.error),
                     qPrintable(sim::usageText()));
        return kExitUsage;
    }
    const sim::SimConfig &config = cl.config;

    if (!installQuitOnSignals()) {
        std::perror("harlune-sim: signal handlers");
        return kExitNoPort;
    }
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    sim::PtyInstrument instrument(config.portDir, config.port, config.options);
    if (!instrument.isLinked()) {
        std::fprintf(stderr, "harlune-sim: cannot open a pseudo-terminal as %s: %s\n",
                     qPrintable(instrument.linkPath()), qPrintable(instrument.errorString()));
        return kExitNoPort;
    }
    const QString linkName = QStringLiteral("COM%1").arg(config.port);
    say(QStringLiteral("harlune-sim: %1 linked as %2 (%3), %4 groups")
            .arg(instrument.devicePath(), linkName, instrument.linkPath())
            .arg(config.options.instrument.groups));
    QObject::connect(&instrument, &sim::PtyInstrument::unlinked,
                     [&] { say(QStringLiteral("harlune-sim: %1 closed").arg(linkName)); });
    QObject::connect(&instrument, &sim::PtyInstrument::linked, [&](const QString &device) {
        say(QStringLiteral("harlune-sim: %1 linked as %2 (%3)")
                .arg(device, linkName, instrument.linkPath()));
    });
    QObject::connect(&instrument, &sim::PtyInstrument::openFailed, [&](const QString &error) {
        std::fprintf(stderr, "harlune-sim: cannot reopen %s: %s\n", qPrintable(linkName),
                     qPrintable(error));
        app.exit(kExitNoPort);
    });

    if (config.sayRequests) {
        QObject::connect(&instrument, &sim::PtyInstrument::requestHeard, [](int code) {
            say(QStringLiteral("harlune-sim: heard %1").arg(code, 2, 16, QLatin1Char('0')));
        });
    }
    if (config.silentAfterMs >= 0)
        instrument.silenceLater(config.silentAfterMs, config.silentForMs);
    if (config.garbageEveryMs > 0)
        instrument.setGarbageEvery(config.garbageEveryMs);
    if (config.reopenAfterMs >= 0)
        instrument.closeLater(config.reopenAfterMs, config.reopenPauseMs);

    return app.exec();
}
