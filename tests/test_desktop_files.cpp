// The files that make Harlune a desktop program agree with the program: the
// window icon draws, the menu entry, the icon and the metainfo carry the id the
// program gives Qt, the metainfo and the man page carry its version, and the
// man pages cover every option the command lines take.
#include "app/command_line.h"
#include "app/version.h"
#include "cli/cli_options.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr int kSmallestIconPx = 16;

QString sourcePath(const QString &relative)
{
    return qEnvironmentVariable("HARLUNE_SOURCE_DIR") + QLatin1Char('/') + relative;
}

QString generatedPath(const QString &relative)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/generated/") + relative;
}

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// The value of `key` in a desktop entry, or a null text when it is missing.
QString desktopValue(const QString &entry, const QString &key)
{
    const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(QRegularExpression::escape(key)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(entry);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString appId() { return QLatin1String(version::kAppId); }

}  // namespace

class DesktopFilesTest : public QObject {
    Q_OBJECT
private slots:
    // The embedded SVG draws through Qt's icon engine, even at 16 px, with
    // something on it rather than a blank square.
    void windowIconDraws()
    {
        const QIcon icon(QStringLiteral(":/icons/harlune.svg"));
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(kSmallestIconPx, kSmallestIconPx).toImage();
        QCOMPARE(image.size(), QSize(kSmallestIconPx, kSmallestIconPx));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 4, "the icon drew fewer than five colours");
    }

    void menuEntry()
    {
        const QString entry =
            readText(sourcePath(QStringLiteral("packaging/%1.desktop").arg(appId())));
        QVERIFY(!entry.isEmpty());
        QCOMPARE(desktopValue(entry, QStringLiteral("Exec")), QStringLiteral("harlune"));
        QCOMPARE(desktopValue(entry, QStringLiteral("Icon")), appId());
        QCOMPARE(desktopValue(entry, QStringLiteral("Categories")),
                 QStringLiteral("Science;Electronics;"));
        QVERIFY(!desktopValue(entry, QStringLiteral("Name")).isEmpty());
        QVERIFY(!desktopValue(entry, QStringLiteral("Name[zh_CN]")).isEmpty());
    }

    void metainfo()
    {
        const QString xml = readText(generatedPath(QStringLiteral("%1.metainfo.xml").arg(appId())));
        QVERIFY(!xml.isEmpty());
        QVERIFY(xml.contains(QStringLiteral("<id>%1</id>").arg(appId())));
        QVERIFY(
            xml.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>")
                             .arg(appId())));
        QVERIFY(xml.contains(
            QStringLiteral("<release version=\"%1\"").arg(QLatin1String(version::kText))));
        QVERIFY(!xml.contains(QLatin1Char('@')));  // every placeholder was filled in
    }

    void manPageCoversTheCommandLine_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("help");
        QTest::newRow("harlune")
            << "harlune"
            << command_line::parse({QStringLiteral("harlune"), QStringLiteral("--help")}).text;
        QTest::newRow("harlune-cli")
            << "harlune-cli"
            << cli_options::parse({QStringLiteral("harlune-cli"), QStringLiteral("--help")}).text;
    }
    void manPageCoversTheCommandLine()
    {
        QFETCH(QString, page);
        QFETCH(QString, help);
        const QString text = readText(generatedPath(QStringLiteral("man/%1.1").arg(page)));
        QVERIFY(!text.isEmpty());
        QVERIFY(text.contains(QStringLiteral("\"Harlune %1\"").arg(QLatin1String(version::kText))));
        // Every long option of the help text, as roff writes it (\- for -).
        const QRegularExpression longOption(QStringLiteral("--([a-z-]+)"));
        int options = 0;
        for (const QRegularExpressionMatch &m : longOption.globalMatch(help)) {
            const QString roff = QStringLiteral("\\-\\-")
                                 + m.captured(1).replace(QLatin1Char('-'), QStringLiteral("\\-"));
            QVERIFY2(text.contains(roff), qPrintable(m.captured(0)));
            ++options;
        }
        QVERIFY(options >= 4);
        for (const char *topic : {"HARLUNE_PORT_DIR", "dialout", "uucp", "/dev/ttyUSB0",
                                  "/dev/ttyACM0", "/dev/ttyS0", "harlune.serial.debug=true"})
            QVERIFY2(text.contains(QLatin1String(topic)), topic);
    }

    // The command line's exit codes are each explained in its man page.
    void manPageListsTheExitCodes()
    {
        const QString text = readText(generatedPath(QStringLiteral("man/harlune-cli.1")));
        const qsizetype exitStatus = text.indexOf(QStringLiteral(".SH EXIT STATUS"));
        QVERIFY(exitStatus > 0);
        for (int code :
             {cli_options::kExitSuccess, cli_options::kExitUsage, cli_options::kExitNoInstrument,
              cli_options::kExitInterrupted, cli_options::kExitNotWritten})
            QVERIFY(text.indexOf(QStringLiteral(".TP\n.B %1\n").arg(code), exitStatus) > 0);
    }
};

QTEST_MAIN(DesktopFilesTest)
#include "test_desktop_files.moc"
