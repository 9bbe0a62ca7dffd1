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

// Neither a display nor a language of the caller's: LANG=en_US.UTF-8, with
// the entries of `extra` ("NAME=value") on top.
QProcessEnvironment withoutDisplay(const QStringList &extra = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "HARLUNE_LANGUAGE"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    for (const QString &entry : extra)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
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
Run runWithoutDisplay(const QStringList &args, const QStringList &environment = {})
{
    QProcess p;
    p.setProcessEnvironment(withoutDisplay(environment));
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
    // Chinese on an English system unless English is asked for, by the
    // option or the environment.
    void helpWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("usage");
        QTest::newRow("as it comes")
            << QStringList{"--help"} << QStringList{} << QStringLiteral("用法：harlune [选项]\n");
        QTest::newRow("--language en") << QStringList{"--language", "en", "--help"} << QStringList{}
                                       << QStringLiteral("Usage: harlune [options]\n");
        QTest::newRow("HARLUNE_LANGUAGE=en")
            << QStringList{"--help"} << QStringList{"HARLUNE_LANGUAGE=en"}
            << QStringLiteral("Usage: harlune [options]\n");
    }
    void helpWithoutDisplay()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, environment);
        QFETCH(QString, usage);
        const Run r = runWithoutDisplay(args, environment);
        QCOMPARE(r.exitStatus, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(usage), qPrintable(r.out));
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

    // Valid options, but nowhere to open the window: one line, status 1, in
    // the language asked for.
    void noDisplayIsOneClearLine_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("said");
        QTest::newRow("Chinese") << QStringList{}
                                 << QStringLiteral("harlune: 没有可以打开窗口的显示器");
        QTest::newRow("English") << QStringList{"HARLUNE_LANGUAGE=en"}
                                 << QStringLiteral("harlune: no display");
    }
    void noDisplayIsOneClearLine()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, said);
        QTemporaryDir ports;
        const Run r = runWithoutDisplay({QStringLiteral("--port-dir"), ports.path(),
                                         QStringLiteral("--port"), QStringLiteral("3")},
                                        environment);
        QCOMPARE(r.exitStatus, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith(said), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
    }

    // Qt's -platform option names somewhere for the window: it opens there,
    // also when HARLUNE_LANGUAGE names no language, which is only warned of.
    void platformOptionStartsTheWindow_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("warning");
        QTest::newRow("as it comes") << QStringList{} << QString();
        QTest::newRow("a variable naming no language")
            << QStringList{"HARLUNE_LANGUAGE=english"}
            << QStringLiteral("HARLUNE_LANGUAGE：'english' 不是可选的语言");
    }
    void platformOptionStartsTheWindow()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, warning);
        QTemporaryDir ports;
        QProcess p;
        p.setProcessEnvironment(withoutDisplay(environment));
        p.start(program(), {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                            QStringLiteral("--port-dir"), ports.path()});
        QVERIFY(p.waitForStarted());
        const bool ended = p.waitForFinished(kStaysUpMs);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        p.kill();
        p.waitForFinished();
        QVERIFY2(!ended, qPrintable(err));
        QCOMPARE(err.contains(QStringLiteral("HARLUNE_LANGUAGE")), !warning.isEmpty());
        QVERIFY2(err.contains(warning), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(ProgramStartTest)
#include "test_program_start.moc"
