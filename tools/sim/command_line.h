#pragma once

#include "sim/pty_instrument.h"

#include <QString>
#include <QStringList>

namespace sim {

// What the harlune-sim command line asks for. Times are in milliseconds; a
// negative start time means the fault is not scheduled.
struct SimConfig {
    QString portDir;
    int port = kDefaultPort;
    SimOptions options;
    int silentAfterMs = -1;
    int silentForMs = 0;
    int garbageEveryMs = 0;
    int reopenAfterMs = -1;
    int reopenPauseMs = 0;
    bool sayRequests = false;  // a line on standard output for every command frame heard
};

struct CommandLine {
    enum class Outcome { Run, ShowHelp, Error };
    Outcome outcome = Outcome::Error;
    SimConfig config;
    QString error;  // for Outcome::Error: what is wrong, one line
};

// Parses the arguments, program name first.
CommandLine parseCommandLine(const QStringList &arguments);
QString usageText();

}  // namespace sim
