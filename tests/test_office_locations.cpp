// Where LibreOffice is looked for on Windows, whose installer does not put it
// on PATH: soffice.exe under the Program Files folders the environment names.
#include "platform/office_converter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Makes <folder>/LibreOffice/program/soffice.exe, as the installer does.
void installOfficeIn(const QString &folder)
{
    const QDir program(QDir(folder).filePath(QStringLiteral("LibreOffice/program")));
    QVERIFY(QDir().mkpath(program.path()));
    QFile exe(program.filePath(QStringLiteral("soffice.exe")));
    QVERIFY(exe.open(QIODevice::WriteOnly));
}

}  // namespace

class OfficeLocationsTest : public QObject {
    Q_OBJECT
private slots:
    void programFoldersFromTheEnvironment_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("64-bit Windows")
            << QStringList{"ProgramFiles=C:\\Program Files", "ProgramW6432=C:\\Program Files",
                           "ProgramFiles(x86)=C:\\Program Files (x86)"}
            << QStringList{"C:\\Program Files", "C:\\Program Files (x86)"};
        QTest::newRow("32-bit program on 64-bit Windows")
            << QStringList{"ProgramFiles=C:\\Program Files (x86)", "ProgramW6432=C:\\Program Files",
                           "ProgramFiles(x86)=C:\\Program Files (x86)"}
            << QStringList{"C:\\Program Files (x86)", "C:\\Program Files"};
        QTest::newRow("none named") << QStringList{"PATH=C:\\Windows"} << QStringList{};
    }
    void programFoldersFromTheEnvironment()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, folders);
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        QCOMPARE(OfficeConverter::programFolders(env), folders);
    }

    void findsTheFirstFolderThatHasIt()
    {
        QTemporaryDir programFiles;
        QTemporaryDir programFilesX86;
        QTemporaryDir empty;
        installOfficeIn(programFilesX86.path());
        const QString inX86 = QDir::toNativeSeparators(
            QDir(programFilesX86.path())
                .filePath(QStringLiteral("LibreOffice/program/soffice.exe")));
        QCOMPARE(OfficeConverter::findInstalled({programFiles.path(), programFilesX86.path()}),
                 inX86);

        installOfficeIn(programFiles.path());
        QCOMPARE(OfficeConverter::findInstalled({programFiles.path(), programFilesX86.path()}),
                 QDir::toNativeSeparators(
                     QDir(programFiles.path())
                         .filePath(QStringLiteral("LibreOffice/program/soffice.exe"))));
        QCOMPARE(OfficeConverter::findInstalled({empty.path()}), QString());
        QCOMPARE(OfficeConverter::findInstalled({}), QString());
    }

    // A folder named soffice.exe is no program.
    void aFolderIsNotTheProgram()
    {
        QTemporaryDir programFiles;
        QVERIFY(QDir().mkpath(
            QDir(programFiles.path()).filePath(QStringLiteral("LibreOffice/program/soffice.exe"))));
        QCOMPARE(OfficeConverter::findInstalled({programFiles.path()}), QString());
    }
};

QTEST_GUILESS_MAIN(OfficeLocationsTest)
#include "test_office_locations.moc"
