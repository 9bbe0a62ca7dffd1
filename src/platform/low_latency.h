#pragma once

#include <QSet>
#include <QString>

// A USB-serial adapter holds received bytes back until its latency timer runs
// out, 16 ms by default for FTDI chips, before the host sees them. On Linux a
// port can ask the driver for low latency (ASYNC_LOW_LATENCY), which ftdi_sio
// answers with a 1 ms timer; an unprivileged process may ask. The previous
// setting comes back when the port closes. Drivers that know no such setting
// (pseudo-terminals, some USB adapters) refuse, and the port works as before.
// Elsewhere this does nothing: on Windows the timer is set in the device manager.
class LowLatency {
public:
    // Asks for low latency on the open terminal `fd` of `device`.
    void apply(int fd, const QString &device);
    // Puts back what apply() changed, before `fd` is closed.
    void restore(int fd);

private:
    bool changed_ = false;
    int previousFlags_ = 0;
    QSet<QString>
        refusedBy_;  // devices whose refusal is logged already: the search comes back often
};
