#include "platform/serial_log.h"

// Only debug messages are used, and debug is off by default.
Q_LOGGING_CATEGORY(lcSerial, "harlune.serial", QtInfoMsg)
