#pragma once

#include <QString>

// Which device a port number stands for.
//
// - Windows: port n is COMn.
// - Elsewhere, with a port directory (the --port-dir option, otherwise
//   HARLUNE_PORT_DIR): port n is the entry COMn in that directory (usually a
//   symbolic link to /dev/ttyUSB0 or a pseudo-terminal).
// - Otherwise a fixed table, so that a USB-serial adapter is found without set-up:
//   COM1-COM8 are /dev/ttyUSB0-7, COM9-COM12 /dev/ttyACM0-3, COM13-COM16 /dev/ttyS0-3.
//   A fixed table keeps a number meaning the same device when others are unplugged.
namespace port_map {

// Device path for port n, or an empty text when the number stands for nothing.
QString deviceFor(int port);

// The port directory the command line names; it wins over HARLUNE_PORT_DIR.
// An empty text leaves the choice to the environment again.
void setPortDir(const QString &dir);

}  // namespace port_map
