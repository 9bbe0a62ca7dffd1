// The real serial stack (QSerialPort) against a pseudo-terminal peer.
#include "core/instrument.h"
#include "platform/qt_serial_io.h"
#include "support/instrument_recorder.h"
#include "support/instrument_testing.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kFrameLength = 8;
constexpr int kReplyLength = 20;

// A pseudo-terminal whose master end answers every 8-byte frame at once, from
// its own thread, with a 20-byte reply that echoes the command code.
class InstantPeer {
public:
    explicit InstantPeer(const QString &link)
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        slavePath_ = QString::fromLocal8Bit(ptsname(master_));
        // Held open so the master never sees a hang-up while the port is closed.
        keepAlive_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
        QFile::link(slavePath_, link);
    }
    ~InstantPeer()
    {
        stop();
        ::close(keepAlive_);
        if (master_ >= 0)
            ::close(master_);
    }

    void start()
    {
        running_ = true;
        thread_ = std::thread([this] { serve(); });
    }
    void stop()
    {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
    }
    void writeRaw(const QByteArray &bytes) { ::write(master_, bytes.constData(), bytes.size()); }
    void hangUp()
    {
        stop();
        ::close(keepAlive_);
        keepAlive_ = -1;
        ::close(master_);
        master_ = -1;
    }
    int answered() const { return answered_; }

private:
    void serve()
    {
        QByteArray pending;
        while (running_) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            char buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                continue;
            pending.append(buf, int(n));
            while (pending.size() >= kFrameLength) {
                QByteArray reply(kReplyLength, '\0');
                reply[0] = char(0xAA);
                reply[15] = char(0xFF);
                reply[19] = pending[7];
                ::write(master_, reply.constData(), reply.size());
                pending.remove(0, kFrameLength);
                ++answered_;
            }
        }
    }

    int master_ = -1;
    int keepAlive_ = -1;
    QString slavePath_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<int> answered_{0};
};

// The real serial stack, with a pause after each frame has been handed to the
// driver: the peer's reply is then surely in before senddat returns, as it is
// on a loaded machine, so a senddat that empties the input after sending loses it.
class SlowSerialIo : public QtSerialIo {
public:
    void drainOutput() override
    {
        QtSerialIo::drainOutput();
        QThread::msleep(kPauseMs);
    }
    static constexpr int kPauseMs = 30;
};

// The instrument's link on the real serial stack, on COM5, where the peer is;
// nothing runs until the test sends.
struct PtyLink : InstrumentRecorder {
    PtyLink() : peer(dir.filePath(QStringLiteral("COM5")))
    {
        qputenv("HARLUNE_PORT_DIR", dir.path().toLocal8Bit());
        core = std::make_unique<Instrument>(std::make_unique<SlowSerialIo>());
        record(core.get());
        core->setPort(5);
        testing(core).openPort();
    }
    QTemporaryDir dir;
    InstantPeer peer;
    std::unique_ptr<Instrument> core;
};

}  // namespace

class SerialPtyTest : public QObject {
    Q_OBJECT
private slots:
    void opensThePortNamedByTheDirectory()
    {
        PtyLink w;
        QVERIFY(w.core->serial().PortOpen());
        QCOMPARE(w.core->serial().deviceName(), w.dir.filePath(QStringLiteral("COM5")));
    }

    // The reply of a peer that answers within microseconds must not be thrown
    // away with the stale input.
    void noReplyLostFromAnInstantPeer()
    {
        PtyLink w;
        w.peer.start();
        constexpr int kRounds = 20;
        for (int i = 0; i < kRounds; ++i) {
            // Every reply is a live reading heard: none was thrown away.
            testing(w.core).senddat(33);
            QTRY_COMPARE_WITH_TIMEOUT(int(w.live.size()), i + 1, 2000);
            QCOMPARE(int(w.core->commOk()), 1);
            QCOMPARE(int(w.core->secFlag()), 1);
        }
        QCOMPARE(w.peer.answered(), kRounds);
    }

    void staleBytesDoNotShiftTheReply()
    {
        PtyLink w;
        w.peer.writeRaw(QByteArray("\x01\x02\x03\x04\x05", 5));
        QTest::qWait(50);  // let them reach the port's buffers
        w.peer.start();
        testing(w.core).senddat(33);
        QTRY_COMPARE_WITH_TIMEOUT(int(w.core->commOk()), 1, 2000);
        QCOMPARE(testing(w.core).rxBuf().size(), kReplyLength);
        QCOMPARE(quint8(testing(w.core).rxBuf()[0]), quint8(0xAA));
        QCOMPARE(quint8(testing(w.core).rxBuf()[19]), quint8(0x33));
    }

    void unplugClosesThePort()
    {
        PtyLink w;
        QVERIFY(w.core->serial().PortOpen());
        w.peer.hangUp();
        testing(w.core).senddat(11);  // the next write or read meets the dead device
        QTRY_VERIFY_WITH_TIMEOUT(!w.core->serial().PortOpen(), 3000);
        QCOMPARE(w.portLosses, 1);
        QVERIFY(w.interruptions.isEmpty());
    }
};

QTEST_GUILESS_MAIN(SerialPtyTest)
#include "test_serial_pty.moc"
