// Where a read's groups go when the user's name is taken: the file is
// replaced by a whole result only; none leaves it, a partial one goes beside
// it under the first free partial name. A stream is always written into.
#include "core/export/kept_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using Kind = kept_file::Destination::Kind;
Q_DECLARE_METATYPE(Kind)

class KeptFileTest : public QObject {
    Q_OBJECT
private slots:
    void destination_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("there");  // files ("/" ends a folder, "|" a pipe)
        QTest::addColumn<int>("groups");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("goesTo");
        QTest::newRow("new, partial")
            << "d.csv" << QStringList{} << 7 << false << Kind::Target << "d.csv";
        QTest::newRow("new, no groups")
            << "d.csv" << QStringList{} << 0 << false << Kind::Target << "d.csv";
        QTest::newRow("taken, whole")
            << "d.csv" << QStringList{"d.csv"} << 7 << true << Kind::Target << "d.csv";
        QTest::newRow("taken, no groups, whole")
            << "d.csv" << QStringList{"d.csv"} << 0 << true << Kind::Nothing << "";
        QTest::newRow("taken, no groups")
            << "d.csv" << QStringList{"d.csv"} << 0 << false << Kind::Nothing << "";
        QTest::newRow("taken, partial")
            << "d.csv" << QStringList{"d.csv"} << 7 << false << Kind::Beside << "d.partial.csv";
        QTest::newRow("partial name taken too")
            << "d.xlsx" << QStringList{"d.xlsx", "d.partial.xlsx", "d.partial-2.xlsx"} << 7 << false
            << Kind::Beside << "d.partial-3.xlsx";
        QTest::newRow("dots in the name") << "run.2024.csv" << QStringList{"run.2024.csv"} << 7
                                          << false << Kind::Beside << "run.2024.partial.csv";
        QTest::newRow("a named pipe")
            << "p" << QStringList{"p|"} << 0 << false << Kind::Target << "p";
        QTest::newRow("a folder") << "f.csv" << QStringList{"f.csv/"} << 7 << false << Kind::Target
                                  << "f.csv";
    }
    void destination()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, there);
        QFETCH(int, groups);
        QFETCH(bool, whole);
        QTemporaryDir dir;
        for (QString entry : there) {
            const bool folder = entry.endsWith(QLatin1Char('/'));
            const bool pipe = entry.endsWith(QLatin1Char('|'));
            entry.chop(folder || pipe ? 1 : 0);
            const QString path = dir.filePath(entry);
            if (folder)
                QVERIFY(QDir().mkdir(path));
            else if (pipe)
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            else
                QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        }
        const kept_file::Destination to =
            kept_file::destinationFor(dir.filePath(name), groups, whole);
        QTEST(to.kind, "kind");
        QFETCH(QString, goesTo);
        QCOMPARE(to.path, goesTo.isEmpty() ? QString() : dir.filePath(goesTo));
    }

    // A folder that holds every partial name has none to give.
    void everyPartialNameTaken()
    {
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath("d.csv")).open(QIODevice::WriteOnly));
        QVERIFY(QFile(dir.filePath("d.partial.csv")).open(QIODevice::WriteOnly));
        for (int n = 2; n <= 100; ++n)
            QVERIFY(QFile(dir.filePath(QStringLiteral("d.partial-%1.csv").arg(n)))
                        .open(QIODevice::WriteOnly));
        const kept_file::Destination to =
            kept_file::destinationFor(dir.filePath("d.csv"), 7, false);
        QCOMPARE(to.kind, Kind::Beside);
        QCOMPARE(to.path, QString());
    }
};

QTEST_GUILESS_MAIN(KeptFileTest)
#include "test_kept_file.moc"
