#pragma once

#include <QProcess>
#include <QStringList>

// harlune-sim as a process of its own, built next to the tests, so a test can
// kill it the way a user pulls the plug: SIGKILL, with no chance to clean up.
// A killed process leaves the pseudo-terminal hung up, which an instrument
// object destroyed inside the test process does not reproduce. Its link goes
// with it, as a device node goes when the adapter is pulled out: the freed
// pseudo-terminal may be handed to another test running beside this one, and
// the window's search must not write into it.
class SimProcess {
public:
    ~SimProcess() { kill(); }

    static QString programPath();

    // Starts it linked as <portDir>/COM<port>; true once the link is made.
    bool start(const QString &portDir, int port, const QStringList &extraArguments = {});
    // Waits until it has printed a line holding `text` (with --say-requests,
    // "heard 22" once it has heard a group-count request).
    bool waitForLine(const QString &text, int timeoutMs);
    void kill();

private:
    QProcess process_;
    QString link_;
};
