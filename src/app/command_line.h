#pragma once

#include "core/language.h"
#include "core/parsed_command_line.h"
#include "core/port_options.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Harlune's command line. It is read before the GUI exists, so --help and
// --version work on a machine without a display, and a wrong option is told
// on one line instead of after a window has opened. Its texts are in the
// language of the translators installed when it is parsed.
namespace command_line {

constexpr int kExitNoDisplay = 1;  // no display for the window

// --port-dir and --port, the language, and whether Qt is told where the
// window goes.
struct Options : port_options::Ports {
    bool qtDisplayOption = false;  // Qt's -platform or -display was given
    // --language, else HARLUNE_LANGUAGE, else Chinese; known also when the
    // parse failed, so that the failure can be told in it.
    language::Language language = language::Language::Chinese;
    QString languageWarning;  // HARLUNE_LANGUAGE named no language
};

using Parsed = parsed_command_line::Parsed<Options>;

// Parses the arguments, program name first, in `environment`.
Parsed parse(const QStringList &arguments,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// Whether the window has somewhere to go on X11 or Wayland systems: a display,
// or a Qt platform plugin chosen with -platform or QT_QPA_PLATFORM; Qt's
// -display names an X11 display. Without
// one, Qt aborts while the GUI is created.
bool namesDisplay(const Options &options, const QProcessEnvironment &environment);

// The line that says why Harlune does not start without a display.
QString noDisplayMessage();

}  // namespace command_line
