// Where the save dialog opens: the last folder of the run, else the program's
// folder when it is the user's, else the documents folder.
#include "gui/save_folder.h"

#include <QtTest>

class SaveFolderTest : public QObject {
    Q_OBJECT
private slots:
    void systemFolders_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("system");
        QTest::newRow("installed by the package manager") << "/usr/bin" << true;
        QTest::newRow("installed by hand") << "/usr/local/bin" << true;
        QTest::newRow("optional packages") << "/opt/harlune" << true;
        QTest::newRow("bin itself") << "/bin" << true;
        QTest::newRow("a home folder") << "/home/li/harlune" << false;
        QTest::newRow("a name that only starts alike") << "/usrdata/harlune" << false;
        QTest::newRow("a folder named opt elsewhere") << "/home/li/opt" << false;
        QTest::newRow("Program Files") << "C:\\Program Files\\Harlune" << true;
        QTest::newRow("Program Files (x86), other case")
            << "d:/program files (x86)/Harlune" << true;
        QTest::newRow("Windows") << "C:\\Windows\\System32" << true;
        QTest::newRow("a user's folder on Windows") << "C:\\Users\\li\\Harlune" << false;
        QTest::newRow("a folder beside Windows") << "C:\\WindowsApps2" << false;
        QTest::newRow("not cleaned") << "/home/li/../../usr/lib" << true;
    }
    void systemFolders()
    {
        QFETCH(QString, path);
        QFETCH(bool, system);
        QCOMPARE(save_folder::isSystemFolder(path), system);
    }

    void startFolder_data()
    {
        QTest::addColumn<QString>("lastUsed");
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("expected");
        const QString docs = QStringLiteral("/home/li/Documents");
        QTest::newRow("the last folder comes first")
            << "/home/li/out"
            << "/home/li/harlune" << true << "/home/li/out";
        QTest::newRow("last folder over a system folder") << "/home/li/out"
                                                          << "/usr/bin" << false << "/home/li/out";
        QTest::newRow("the program's own folder")
            << ""
            << "/home/li/harlune" << true << "/home/li/harlune";
        QTest::newRow("program folder not writable") << ""
                                                     << "/home/li/harlune" << false << docs;
        QTest::newRow("installed, even where writable") << ""
                                                        << "/usr/local/bin" << true << docs;
        QTest::newRow("Program Files") << ""
                                       << "C:/Program Files/Harlune" << true << docs;
    }
    void startFolder()
    {
        QFETCH(QString, lastUsed);
        QFETCH(QString, program);
        QFETCH(bool, writable);
        QFETCH(QString, expected);
        QCOMPARE(save_folder::startFolder(lastUsed, program, writable,
                                          QStringLiteral("/home/li/Documents")),
                 expected);
    }
};

QTEST_GUILESS_MAIN(SaveFolderTest)
#include "test_save_folder.moc"
