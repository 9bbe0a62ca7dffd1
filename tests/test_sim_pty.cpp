// The simulated instrument on a real pseudo-terminal, driven as the host would
// drive a serial port: open the COMn link, set raw mode, write frames, read replies.
#include "sim/protocol.h"
#include "sim/pty_instrument.h"
#include "support/bytes.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kPort = 3;
constexpr int kReplyWaitMs = 3000;
constexpr int kPollSliceMs = 2;

const QByteArray kProbe = bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x11});
const QByteArray kBlock1To1000 = bytes({0xAA, 0, 0, 1, 0, 10, 0, 0x55});

// The host's end: the device behind <dir>/COM3, opened like a serial port.
class HostPort {
public:
    explicit HostPort(const QString &path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return;
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, B115200);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~HostPort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HostPort(const HostPort &) = delete;
    HostPort &operator=(const HostPort &) = delete;

    bool isOpen() const { return fd_ >= 0; }

    bool write(const QByteArray &bytes)
    {
        return ::write(fd_, bytes.constData(), bytes.size()) == bytes.size();
    }

    // Reads until `count` bytes arrived or `timeoutMs` passed, keeping the
    // simulator's event loop (this thread's) turning meanwhile.
    QByteArray read(int count, int timeoutMs = kReplyWaitMs)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, kPollSliceMs) <= 0 || !(p.revents & POLLIN))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<int>(n));
        }
        return got;
    }

    // Whether the other end has gone: a hang-up on the descriptor.
    bool hungUp()
    {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR));
    }

private:
    int fd_ = -1;
};

sim::SimOptions immediate()
{
    sim::SimOptions o;
    o.turnaroundMs = 0;
    return o;
}

}  // namespace

class SimPtyTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void linkPointsToATerminal()
    {
        sim::PtyInstrument instrument(dir_.path(), 7);
        QVERIFY2(instrument.isLinked(), qPrintable(instrument.errorString()));
        const QString link = dir_.filePath(QStringLiteral("COM7"));
        QCOMPARE(instrument.linkPath(), link);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), instrument.devicePath());
        HostPort host(link);
        QVERIFY(host.isOpen());
    }

    void linkGoesAwayWithTheInstrument()
    {
        const QString link = dir_.filePath(QStringLiteral("COM3"));
        {
            sim::PtyInstrument instrument(dir_.path());
            QVERIFY(QFileInfo::exists(link));
        }
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void probeIsAnswered()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort);
        HostPort host(instrument.linkPath());
        QVERIFY(host.write(kProbe));
        const QByteArray reply = host.read(20);
        QCOMPARE(reply, sim::probeReply(true));
        QVERIFY(host.read(1, 50).isEmpty());
    }

    void frameInPiecesIsAnswered()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        HostPort host(instrument.linkPath());
        QVERIFY(host.write(bytes({0x13, 0xAA}) + kProbe.left(3)));
        QVERIFY(host.read(1, 50).isEmpty());
        QVERIFY(host.write(kProbe.mid(3)));
        QCOMPARE(host.read(20), sim::probeReply(true));
    }

    void wholeBlockArrivesComplete()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        HostPort host(instrument.linkPath());
        QVERIFY(host.write(kBlock1To1000));
        // The host does not read yet: the terminal fills up and the rest waits.
        QTRY_VERIFY(instrument.instrument().requestCount(sim::Command::Block) == 1);
        QVERIFY(instrument.pendingOutput() > 0);
        QSignalSpy drained(&instrument, &sim::PtyInstrument::outputDrained);
        const QByteArray reply = host.read(20000);
        QCOMPARE(reply.size(), 20000);
        QCOMPARE(reply, sim::blockReply(1, 1000));
        QCOMPARE(drained.size(), 1);
    }

    void rawEvenForAHostThatSetsNothing()
    {
        // No termios set up by the host: the terminal is raw already, so no echo
        // of the request and no CR/LF changes in the 0x0A and 0x0D bytes.
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        const int fd = ::open(QFile::encodeName(instrument.linkPath()).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        QVERIFY(::write(fd, kBlock1To1000.constData(), 8) == 8);  // holds 0x0A
        const QByteArray expected = sim::blockReply(1, 1000);
        QVERIFY(expected.contains('\r') && expected.contains('\n'));
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < expected.size() + 1 && clock.elapsed() < 500) {
            QCoreApplication::processEvents();
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<int>(n));
            else
                QThread::msleep(kPollSliceMs);
        }
        ::close(fd);
        QCOMPARE(got, expected);
    }

    void hostMayCloseAndOpenAgain()
    {
        // The simulator holds the terminal itself, so the host closing its port
        // is no hang-up for it and a re-opened port is answered as before.
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        {
            HostPort host(instrument.linkPath());
            QVERIFY(host.write(kProbe));
            QCOMPARE(host.read(20).size(), 20);
        }
        QTest::qWait(50);
        HostPort again(instrument.linkPath());
        QVERIFY(again.write(kProbe));
        QCOMPARE(again.read(20), sim::probeReply(true));
    }

    void closeAndComeBack()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        QSignalSpy unlinked(&instrument, &sim::PtyInstrument::unlinked);
        QSignalSpy linked(&instrument, &sim::PtyInstrument::linked);
        HostPort before(instrument.linkPath());
        QVERIFY(before.isOpen());

        instrument.closeFor(300);
        QCOMPARE(unlinked.size(), 1);
        QVERIFY(!instrument.isLinked());
        QVERIFY(before.hungUp());
        QVERIFY(!HostPort(instrument.linkPath()).isOpen());

        QVERIFY(linked.wait(2000));
        QVERIFY(instrument.isLinked());
        const QString device = linked.first().first().toString();
        QCOMPARE(QFileInfo(instrument.linkPath()).symLinkTarget(), device);
        HostPort after(instrument.linkPath());
        QVERIFY(after.write(kProbe));
        QCOMPARE(after.read(20), sim::probeReply(true));
    }

    void silentOnTheKthBlockThenAnsweredOnResend()
    {
        sim::SimOptions options = immediate();
        options.instrument.faults.silentOn = 1;
        sim::PtyInstrument instrument(dir_.path(), kPort, options);
        HostPort host(instrument.linkPath());
        QVERIFY(host.write(kBlock1To1000));
        QVERIFY(host.read(1, 200).isEmpty());
        QVERIFY(host.write(kBlock1To1000));
        QCOMPARE(host.read(20000).size(), 20000);
    }

    // One request at a time: the reply to a re-send, heard while the slow
    // reply was pending, comes after it, a turnaround later.
    void slowReplyIsFollowedByTheReplyToTheResend()
    {
        sim::SimOptions options;
        options.turnaroundMs = 100;
        options.instrument.faults.slow = 1;
        options.instrument.faults.slowMs = 400;
        sim::PtyInstrument instrument(dir_.path(), kPort, options);
        HostPort host(instrument.linkPath());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(host.write(kBlock1To1000));
        QVERIFY(host.read(1, 150).isEmpty());
        QVERIFY(host.write(kBlock1To1000));    // the re-send, answered at once by itself
        QVERIFY(host.read(1, 200).isEmpty());  // ... but not before the slow reply
        QCOMPARE(host.read(20000), sim::blockReply(1, 1000));
        const qint64 slowAt = clock.elapsed();
        QVERIFY2(slowAt >= 500, qPrintable(QString::number(slowAt)));
        QVERIFY(host.read(1, 60).isEmpty());  // a turnaround of quiet line between them
        QCOMPARE(host.read(20000), sim::blockReply(1, 1000));
    }

    void silentWindow()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        HostPort host(instrument.linkPath());
        instrument.silenceLater(0, 400);
        QTest::qWait(20);
        QVERIFY(host.write(kProbe));
        QVERIFY(host.read(1, 100).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!instrument.instrument().isSilent(), 2000);
        QVERIFY(host.write(kProbe));
        QCOMPARE(host.read(20), sim::probeReply(true));
    }

    void silenceCutsAReplyInFlight()
    {
        sim::SimOptions options;
        options.turnaroundMs = 500;
        sim::PtyInstrument instrument(dir_.path(), kPort, options);
        HostPort host(instrument.linkPath());
        QVERIFY(host.write(kProbe));
        QTRY_COMPARE(instrument.instrument().requestCount(sim::Command::Probe), 1);
        instrument.setSilent(true);
        QVERIFY(host.read(1, 800).isEmpty());
    }

    void garbageArrivesUnasked()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        HostPort host(instrument.linkPath());
        instrument.setGarbageEvery(30);
        const QByteArray stray = host.read(12);
        QCOMPARE(stray.size(), 12);
        QVERIFY(!stray.contains(char(0xAA)));
        // No garbage while silent.
        instrument.setSilent(true);
        host.read(100, 50);
        QVERIFY(host.read(1, 150).isEmpty());
    }

    void garbageBeforeAReply()
    {
        sim::PtyInstrument instrument(dir_.path(), kPort, immediate());
        HostPort host(instrument.linkPath());
        instrument.instrument().queueGarbage(bytes({0x01, 0x02}));
        QVERIFY(host.write(kProbe));
        QCOMPARE(host.read(22), bytes({0x01, 0x02}) + sim::probeReply(true));
    }

    void lineRatePacesABlock()
    {
        // 20000 bytes at 11520 bytes/s take about 1.74 s; unpaced they take
        // milliseconds. Only a loose lower bound, to see that pacing happens.
        sim::SimOptions options = immediate();
        options.lineRate = true;
        sim::PtyInstrument instrument(dir_.path(), kPort, options);
        HostPort host(instrument.linkPath());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(host.write(kBlock1To1000));
        const QByteArray reply = host.read(20000, 10000);
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(reply, sim::blockReply(1, 1000));
        QVERIFY2(elapsed > 1200, qPrintable(QString::number(elapsed)));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(SimPtyTest)
#include "test_sim_pty.moc"
