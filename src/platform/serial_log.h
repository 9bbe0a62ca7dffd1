#pragma once

#include <QLoggingCategory>

// Serial events and errors: opening and losing ports, framing trouble and
// re-sends during a read-out. Silent unless enabled, for example with
// QT_LOGGING_RULES="harlune.serial.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSerial)
