#pragma once

class Form1;

namespace startup {

// SIGTERM, SIGINT and SIGHUP end the program as Exit does: the window closes,
// which closes the port (no lock file stays behind), and every event loop
// ends, also that of a message box that is open.
void endOnSignals(Form1 &window);

}  // namespace startup
