// The built harlune program started as a user starts it, on a machine without
// a display: help, version and wrong options answer on the terminal, and
// without a display it says so instead of aborting in Qt.
#include "app/version.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kRunMs = 20000;
// How long a started window must keep running to count as started.
constexpr int kStaysUpMs = 2000;

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

QString program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/harlune"); }

struct Run {
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QString out;
    QString err;
};

// Runs harlune with no display: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset.
Run runWithoutDisplay(const QStringList &args)
{
    QProcess p;
    p.setProcessEnvironment(withoutDisplay());
    p.start(program(), args);
    Run run;
    if (!p.waitForFinished(kRunMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitCode();
    run.exitStatus = p.exitStatus();
    run.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

}  // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void helpWithoutDisplay()
    {
        const Run r = runWithoutDisplay({QStringLiteral("--help")});
        QCOMPARE(r.exitStatus, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(QStringLiteral("Usage: harlune [options]\n")), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("--port-dir")));
        QCOMPARE(r.err, QString());
    }

    void versionWithoutDisplay()
    {
        const Run r = runWithoutDisplay({QStringLiteral("--version")});
        QCOMPARE(r.exitStatus, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("Harlune %1\n").arg(QLatin1String(version::kText)));
        QCOMPARE(r.err, QString());
    }

    void wrongOptionExitsWithUsageError_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("port out of range") << QStringList{"--port", "17"};
        QTest::newRow("unknown option") << QStringList{"--verbose"};
        QTest::newRow("port dir missing")
            << QStringList{"--port-dir", "/nonexistent/harlune-ports"};
    }
    void wrongOptionExitsWithUsageError()
    {
        QFETCH(QStringList, args);
        const Run r = runWithoutDisplay(args);
        QCOMPARE(r.exitStatus, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith(QStringLiteral("harlune: ")), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(r.out, QString());
    }

    // Valid options, but nowhere to open the window: one line, status 1.
    void noDisplayIsOneClearLine()
    {
        QTemporaryDir ports;
        const Run r = runWithoutDisplay({QStringLiteral("--port-dir"), ports.path(),
                                         QStringLiteral("--port"), QStringLiteral("3")});
        QCOMPARE(r.exitStatus, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("harlune: no display")), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
    }

    // Qt's -platform option names somewhere for the window: it opens there.
    void platformOptionStartsTheWindow()
    {
        QTemporaryDir ports;
        QProcess p;
        p.setProcessEnvironment(withoutDisplay());
        p.start(program(), {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                            QStringLiteral("--port-dir"), ports.path()});
        QVERIFY(p.waitForStarted());
        const bool ended = p.waitForFinished(kStaysUpMs);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        p.kill();
        p.waitForFinished();
        QVERIFY2(!ended, qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(ProgramStartTest)
#include "test_program_start.moc"
