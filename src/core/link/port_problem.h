#pragma once

#include "platform/serial_io.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// How the program tells the user about a port: which device a number stands
// for, and why it is passed over.
namespace port_problem {

// Why a port is passed over, kept as what happened rather than in words, so
// that notes compare alike whatever language the words are in.
enum class Why { NotFound, NoPermission, Busy, CannotOpen, NotInstrument };
struct Note {
    Why why = Why::CannotOpen;
    QString detail;  // the system's own words, shown with CannotOpen only

    bool operator==(const Note &other) const { return why == other.why && detail == other.detail; }
    bool operator!=(const Note &other) const { return !(*this == other); }
};

// "COM3 = /dev/ttyUSB2"
QString portText(int port, const QString &device);
// Why an open failed; nothing when it did not fail.
std::optional<Note> openFailure(const SerialIo::OpenError &error);
// A device that opened but does not answer as the instrument does.
Note notInstrument();
// The note in the user's words.
QString reason(const Note &note);
// "COM3 = /dev/ttyUSB2：设备忙"
QString withReason(const QString &portText, const QString &reason);

// What the search met on each port it could not use that is worth telling,
// one line each in port order: "COM3 = /dev/ttyUSB2：不是本仪器".
QStringList noteLines(const QHash<qint16, Note> &notes);

// Whether a note is worth the status bar. A missing device is not: most of
// the sixteen numbers the search tries stand for no device on a given machine.
bool worthReporting(const Note &note);

}  // namespace port_problem
