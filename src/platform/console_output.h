#pragma once

// Lets a Windows GUI program print to the console it was started from.
namespace console_output {

// On Windows, a program built for the GUI subsystem has no standard output of
// its own: when none was handed to it (it was not redirected), this attaches
// to the console of the parent, so `harlune --help` prints there. Elsewhere
// it does nothing.
void attach();

}  // namespace console_output
