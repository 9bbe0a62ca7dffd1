// The language: how it is chosen, and the English catalogue that every
// translatable text of the sources needs, complete and kept up to date.
#include "core/language.h"

#include <QCommandLineParser>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <set>

namespace {

constexpr int kToolMs = 60000;

// What a Qt tool prints, or why it could not run.
QString runTool(const char *tool, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QString::fromLocal8Bit(tool), arguments);
    if (!p.waitForFinished(kToolMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(QLatin1String(tool), p.readAll());
    return QString::fromUtf8(p.readAll());
}

// The placeholders %1 to %9 of a text, each as often as it occurs.
std::multiset<QString> placeholders(const QString &text)
{
    std::multiset<QString> found;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral("%[1-9]")).globalMatch(text))
        found.insert(m.captured());
    return found;
}

QString sourceDir() { return qEnvironmentVariable("HARLUNE_SOURCE_DIR"); }
QString catalogue() { return sourceDir() + QStringLiteral("/translations/harlune_en.ts"); }

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    // --language, else HARLUNE_LANGUAGE, else Chinese; never the locale.
    // `chosen` is the language's code, and after a colon the words a refusal
    // must name, or after an exclamation mark those of a warning: a wrong
    // option is refused, a wrong variable passed over.
    void choice_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("chosen");
        const auto row = [](const char *name, const char *arguments, const char *environment,
                            const char *chosen) {
            QTest::newRow(name) << QString::fromUtf8(arguments) << QString::fromUtf8(environment)
                                << QString::fromUtf8(chosen);
        };
        row("nothing", "", "", "zh");
        row("English locale", "", "LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 LANGUAGE=en", "zh");
        row("variable", "", "HARLUNE_LANGUAGE=en", "en");
        row("variable in capitals", "", "HARLUNE_LANGUAGE=EN", "en");
        row("empty variable", "", "HARLUNE_LANGUAGE=", "zh");
        row("option", "--language=en", "LANG=zh_CN.UTF-8", "en");
        row("option over variable", "--language zh", "HARLUNE_LANGUAGE=en", "zh");
        row("option over wrong variable", "--language en", "HARLUNE_LANGUAGE=xx", "en");
        row("wrong option", "--language de", "HARLUNE_LANGUAGE=en", "zh: --language 'de'");
        row("empty option", "--language=", "", "zh: --language ''");
        row("wrong variable", "", "HARLUNE_LANGUAGE=english", "zh! HARLUNE_LANGUAGE 'english'");
    }
    void choice()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, chosen);
        QProcessEnvironment env;
        for (const QString &entry : environment.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        QCommandLineParser parser;
        const QCommandLineOption option = language::declare(parser);
        QVERIFY(parser.parse(QStringList{QStringLiteral("harlune")}
                             + arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts)));
        const language::Choice choice = language::read(parser, option, env);
        const QString code = choice.language == language::Language::English ? "en" : "zh";
        QCOMPARE(code, chosen.left(2));
        const QChar kind = chosen.size() > 2 ? chosen.at(2) : QChar();
        QCOMPARE(choice.error.isEmpty(), kind != QLatin1Char(':'));
        QCOMPARE(choice.warning.isEmpty(), kind != QLatin1Char('!'));
        const QString said = choice.error + choice.warning;
        QVERIFY(!said.contains(QLatin1Char('\n')));
        for (const QString &name : chosen.mid(3).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QVERIFY2(said.contains(name), qPrintable(said));
    }

    // lupdate, run over every source as update_translations runs it, leaves
    // the catalogue as it is (no text missing, none left over), and lrelease
    // finds every message of it translated.
    void catalogueCoversEverySourceText()
    {
        QTemporaryDir dir;
        const QString updated = dir.filePath(QStringLiteral("harlune_en.ts"));
        QVERIFY2(QFile::copy(catalogue(), updated), qPrintable(catalogue()));
        const QString lupdate = runTool(HARLUNE_LUPDATE, {"-no-obsolete", "-locations", "none",
                                                          sourceDir() + "/src", "-ts", updated});
        QFile before(catalogue()), after(updated);
        QVERIFY(before.open(QIODevice::ReadOnly) && after.open(QIODevice::ReadOnly));
        QVERIFY2(before.readAll() == after.readAll(), qPrintable(lupdate));
        const QString lrelease =
            runTool(HARLUNE_LRELEASE, {updated, "-qm", dir.filePath(QStringLiteral("en.qm"))});
        QVERIFY2(lrelease.contains(QStringLiteral(" finished and 0 unfinished)")),
                 qPrintable(lrelease));
    }

    // The catalogue built into the program translates every source text to
    // its English, which keeps the source's placeholders.
    void builtCatalogueTranslatesEveryText()
    {
        const language::Translators english(language::Language::English);
        QVERIFY(english.complete());
        QFile file(catalogue());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QByteArray context;
        QString source;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText().toUtf8();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.name() == QLatin1String("translation")) {
                const QString translation = xml.readElementText();
                const QString translated =
                    QCoreApplication::translate(context, source.toUtf8().constData());
                QVERIFY2(!translation.isEmpty() && translated == translation, qPrintable(source));
                QVERIFY2(placeholders(translated) == placeholders(source), qPrintable(translated));
                ++messages;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages > 0);
    }
};

QTEST_GUILESS_MAIN(LanguageTest)
#include "test_language.moc"
