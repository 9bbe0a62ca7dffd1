#pragma once

#include "app/command_line.h"

class Form1;
class Instrument;

namespace startup {

// Applies the command line to the window before Form_Load: the port directory
// to the port map, and the first port to probe to Combo1. Without --port the
// window keeps its start-up port.
void apply(const command_line::Options &options, Instrument &core);

// SIGTERM, SIGINT and SIGHUP end the program as Exit does: the window closes,
// which closes the port (no lock file stays behind), and every event loop
// ends, also that of a message box that is open.
void endOnSignals(Form1 &window);

}  // namespace startup
