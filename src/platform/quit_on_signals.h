#pragma once

#include <functional>

class QObject;

// A desktop session that ends, `systemctl stop`, `kill` and Ctrl+C send
// SIGTERM, SIGHUP or SIGINT. Left to their default, they end the process on
// the spot: the serial port stays open and its lock file stays behind. Once
// installed, each of them instead calls `onSignal` from the event loop of
// `context`'s thread, where the program closes its port and quits as on Exit.
// Returns false when the signals could not be taken over. Nothing happens on
// systems without these signals.
namespace quit_on_signals {

bool install(QObject *context, std::function<void(int signal)> onSignal);

// The signals end the process on the spot again. For when the port is
// closed and what is left may wait for ever: a named pipe waiting for its
// reader, which would otherwise not hear Ctrl+C, since a signal that is
// taken over lets the waiting call go on.
void restoreDefaults();

}  // namespace quit_on_signals
