#pragma once

#include <QCommandLineOption>
#include <QString>

class Instrument;
class QCommandLineParser;

// Where the instrument is looked for, as both programs take it on their
// command lines: --port-dir and --port, with the same words, the same checks
// and the same effect on the port map and the search.
namespace port_options {

struct Ports {
    QString portDir;    // --port-dir, absolute; empty when not given
    int firstPort = 0;  // --port, 1 to 16; 0 when not given
};

struct Declared {
    QCommandLineOption portDir;
    QCommandLineOption firstPort;
};

// Adds both options, with their help, to `parser`.
Declared declare(QCommandLineParser &parser);

// Reads them once `parser` has parsed. Returns what is wrong, on one line and
// without the program's name; empty when they are fine.
QString read(const QCommandLineParser &parser, const Declared &declared, Ports *ports);

// The port the search starts from so that it probes `firstPort` first: the
// search steps to the number after it, wrapping from 16 to 1.
qint16 portBefore(int firstPort);

// Before load(): the port directory to the port map, and the first port to
// probe to the search. Without --port the search keeps its start-up port.
void apply(const Ports &ports, Instrument &core);

}  // namespace port_options
