#pragma once

#include "core/language.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Harlune's command line. It is read before the GUI exists, so --help and
// --version work on a machine without a display, and a wrong option is told
// on one line instead of after a window has opened. Its texts are in the
// language of the translators installed when it is parsed.
namespace command_line {

constexpr int kExitUsage = 2;      // a wrong option or value
constexpr int kExitNoDisplay = 1;  // no display for the window

struct Options {
    QString portDir;               // --port-dir, absolute; empty when not given
    int firstPort = 0;             // --port, 1 to 16; 0 when not given
    bool qtDisplayOption = false;  // Qt's -platform or -display was given
    // --language, else HARLUNE_LANGUAGE, else Chinese; known also when the
    // parse failed, so that the failure can be told in it.
    language::Language language = language::Language::Chinese;
};

struct Parsed {
    enum class Outcome { Run, ShowHelp, ShowVersion, Error };
    Outcome outcome = Outcome::Error;
    Options options;
    // What to print: the help text, the version line, or what is wrong (one line).
    QString text;
};

// Parses the arguments, program name first, in `environment`.
Parsed parse(const QStringList &arguments,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The port number Combo1 starts with so that the port search probes
// `firstPort` first: the search steps to the number after the combo's,
// wrapping from 16 to 1.
QString comboTextBefore(int firstPort);

// Whether the window has somewhere to go on X11 or Wayland systems: a display,
// or a Qt platform plugin chosen with -platform or QT_QPA_PLATFORM; Qt's
// -display names an X11 display. Without
// one, Qt aborts while the GUI is created.
bool namesDisplay(const Options &options, const QProcessEnvironment &environment);

// The line that says why Harlune does not start without a display.
QString noDisplayMessage();

}  // namespace command_line
