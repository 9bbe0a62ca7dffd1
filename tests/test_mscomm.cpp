// The serial control: receive threshold, reading, emptying, errors, re-entrancy.
#include "platform/mscomm.h"
#include "support/fake_serial_io.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Control {
    Control()
    {
        qputenv("HARLUNE_PORT_DIR", dir.path().toLocal8Bit());
        auto fake = std::make_unique<FakeSerialIo>();
        io = fake.get();
        io->presentDevices = {dir.filePath(QStringLiteral("COM1")),
                              dir.filePath(QStringLiteral("COM2"))};
        comm = std::make_unique<MSComm>(std::move(fake));
        comm->setSettings(QStringLiteral("115200,n,8,1"));
        comm->setPortOpen(true);
    }
    QTemporaryDir dir;
    FakeSerialIo *io;
    std::unique_ptr<MSComm> comm;
};
}  // namespace

class MSCommTest : public QObject {
    Q_OBJECT
private slots:
    void receiveEventWaitsForTheThreshold()
    {
        Control c;
        QSignalSpy events(c.comm.get(), &MSComm::OnComm);
        c.comm->setRThreshold(20);
        c.io->inject(QByteArray(8, 'a'));
        c.io->inject(QByteArray(11, 'b'));
        QCOMPARE(events.size(), 0);
        c.io->inject(QByteArray(1, 'c'));
        QCOMPARE(events.size(), 1);
        QCOMPARE(int(c.comm->CommEvent()), int(MSComm::comEvReceive));
        QCOMPARE(c.comm->InBufferCount(), 20);
    }

    void noReceiveEventsWithThresholdZero()
    {
        Control c;
        QSignalSpy events(c.comm.get(), &MSComm::OnComm);
        c.comm->setRThreshold(0);
        c.io->inject(QByteArray(100, 'x'));
        QCOMPARE(events.size(), 0);
        QCOMPARE(c.comm->InBufferCount(), 100);
    }

    void inputHandsOverAtMostInputLen()
    {
        Control c;
        c.io->inject(QByteArray("0123456789"));
        c.comm->setInputLen(4);
        QCOMPARE(c.comm->Input(), QByteArray("0123"));
        c.comm->setInputLen(0);
        QCOMPARE(c.comm->Input(), QByteArray("456789"));
        QCOMPARE(c.comm->InBufferCount(), 0);
    }

    void holdsAWholeBlockUnchanged()
    {
        Control c;
        QByteArray block(20000, '\0');
        for (int i = 0; i < block.size(); ++i)
            block[i] = char(i * 7);  // every byte value, CR and LF among them
        c.comm->setRThreshold(20000);
        c.comm->setInputLen(20000);
        QSignalSpy events(c.comm.get(), &MSComm::OnComm);
        for (int at = 0; at < block.size(); at += 4095)
            c.io->inject(block.mid(at, 4095));
        QCOMPARE(events.size(), 1);
        QCOMPARE(c.comm->Input(), block);
    }

    void emptyingInputDropsTheDriversBytesToo()
    {
        Control c;
        c.io->inject(QByteArray("abc"));
        c.io->injectQuietly(QByteArray("def"));  // still in the driver
        c.comm->setInBufferCount(0);
        QCOMPARE(c.comm->InBufferCount(), 0);
        QCOMPARE(c.io->discardCount, 1);
    }

    void outputIsSentUnchangedAndDrained()
    {
        Control c;
        c.io->holdsWritesUntilDrain = true;  // as QSerialPort queues them
        const QByteArray frame("\xAA\x00\x0A\x01\x00\x14\x00\x55", 8);
        c.comm->setOutput(frame);
        QVERIFY(c.io->writes.isEmpty());
        c.comm->drainOutput();
        QCOMPARE(c.io->writes, QList<QByteArray>{frame});
        QCOMPARE(c.io->drainCount, 1);
    }

    void portNumberSelection()
    {
        Control c;
        QCOMPARE(int(c.comm->CommPort()), 1);
        QVERIFY(!c.comm->setCommPort(2));  // not while open
        c.comm->setPortOpen(false);
        QVERIFY(!c.comm->setCommPort(0));
        QVERIFY(!c.comm->setCommPort(-3));
        QCOMPARE(int(c.comm->CommPort()), 1);
        QVERIFY(c.comm->setCommPort(2));
        c.comm->setPortOpen(true);
        QCOMPARE(c.io->openDevice, c.dir.filePath(QStringLiteral("COM2")));
        QCOMPARE(c.io->openSettings.baud, 115200);
    }

    void missingDeviceStaysClosedSilently()
    {
        Control c;
        c.comm->setPortOpen(false);
        QVERIFY(c.comm->setCommPort(3));
        c.comm->setPortOpen(true);
        QVERIFY(!c.comm->PortOpen());
        c.comm->setOutput(QByteArray("x"));  // writing to a closed port does nothing
        QVERIFY(c.io->writes.isEmpty());
    }

    void badSettingsAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("parity") << QStringLiteral("115200,x,8,1");
        QTest::newRow("fields") << QStringLiteral("115200,n,8");
        QTest::newRow("baud") << QStringLiteral("fast,n,8,1");
        QTest::newRow("stop") << QStringLiteral("115200,n,8,3");
    }
    void badSettingsAreRefused()
    {
        QFETCH(QString, text);
        Control c;
        QVERIFY(!c.comm->setSettings(text));
        QCOMPARE(c.comm->Settings(), QStringLiteral("115200,n,8,1"));
    }

    void unplugClosesThePortWithoutAnEvent()
    {
        Control c;
        QSignalSpy events(c.comm.get(), &MSComm::OnComm);
        c.io->fail(SerialIo::Failure::Unplugged);
        QVERIFY(!c.comm->PortOpen());
        QCOMPARE(events.size(), 0);
    }

    void readFailureRaisesAnotherEvent()
    {
        Control c;
        QSignalSpy events(c.comm.get(), &MSComm::OnComm);
        c.io->fail(SerialIo::Failure::ReadFailed);
        QCOMPARE(events.size(), 1);
        QCOMPARE(int(c.comm->CommEvent()), int(MSComm::comEventReadFailed));
        QVERIFY(c.comm->PortOpen());
    }

    // Bytes that arrive while a handler runs (say, under a modal message) do not
    // enter it again; they raise the next event once it has returned.
    void handlersAreNotReentered()
    {
        Control c;
        c.comm->setRThreshold(4);
        int depth = 0;
        int maxDepth = 0;
        int calls = 0;
        QList<QByteArray> taken;
        connect(c.comm.get(), &MSComm::OnComm, c.comm.get(), [&] {
            ++depth;
            ++calls;
            maxDepth = std::max(maxDepth, depth);
            taken.append(c.comm->Input());
            if (calls == 1)
                c.io->inject(QByteArray("WXYZ"));
            --depth;
        });
        c.io->inject(QByteArray("ABCD"));
        QCOMPARE(maxDepth, 1);
        QCOMPARE(calls, 2);
        QCOMPARE(taken, (QList<QByteArray>{QByteArray("ABCD"), QByteArray("WXYZ")}));
    }
};

QTEST_GUILESS_MAIN(MSCommTest)
#include "test_mscomm.moc"
