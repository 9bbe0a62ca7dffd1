#include "platform/quit_on_signals.h"

#include <QObject>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quit_on_signals {

#ifdef Q_OS_UNIX
namespace {

// A signal handler may do almost nothing: it writes the signal's number into
// a pipe, and the event loop reads it like any other input.
int signalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignalRaised(int signal)
{
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

bool install(QObject *context, std::function<void(int signal)> onSignal)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [onSignal] {
        unsigned char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1)
            onSignal(byte);
    });
    struct sigaction action {};
    action.sa_handler = onSignalRaised;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        if (::sigaction(signal, &action, nullptr) != 0)
            return false;
    }
    return true;
}

void restoreDefaults()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
}
#else
bool install(QObject *, std::function<void(int)>) { return true; }
void restoreDefaults() {}
#endif

}  // namespace quit_on_signals
