// The system's errors in the program's words, in both languages: each cause
// from its errno and from the English text Qt makes of it. (A save that
// meets one names it: test_save_failures.cpp.)
#include "core/language.h"
#include "platform/system_error.h"

#include <QtTest>

#include <cerrno>

class SystemErrorTest : public QObject {
    Q_OBJECT
private slots:
    void causesInBothLanguages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("ENOSPC") << ENOSPC << "磁盘空间不足"
                                << "no space left on the disk";
        QTest::newRow("EDQUOT") << EDQUOT << "磁盘空间不足"
                                << "no space left on the disk";
        QTest::newRow("EROFS") << EROFS << "只读文件系统"
                               << "read-only file system";
        QTest::newRow("EACCES") << EACCES << "无权限"
                                << "no permission";
        QTest::newRow("EPERM") << EPERM << "无权限"
                               << "no permission";
        QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << "文件名太长"
                                      << "file name too long";
        QTest::newRow("EEXIST") << EEXIST << "文件已存在"
                                << "the file exists already";
        QTest::newRow("EISDIR") << EISDIR << "这是一个文件夹"
                                << "it is a folder";
        QTest::newRow("ENOTDIR") << ENOTDIR << "路径中有一项不是文件夹"
                                 << "a part of the path is not a folder";
        QTest::newRow("ENOENT") << ENOENT << "文件或文件夹不存在"
                                << "no such file or folder";
        QTest::newRow("EPIPE") << EPIPE << "读取的一端已关闭（管道已断开）"
                               << "the reading end was closed (broken pipe)";
        QTest::newRow("EBUSY") << EBUSY << "设备或文件正忙"
                               << "device or file busy";
        QTest::newRow("ETXTBSY") << ETXTBSY << "设备或文件正忙"
                                 << "device or file busy";
        QTest::newRow("EIO") << EIO << "输入/输出错误"
                             << "input/output error";
    }
    void causesInBothLanguages()
    {
        QFETCH(int, code);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        for (const language::Language language :
             {language::Language::Chinese, language::Language::English}) {
            const language::Translators speaking(language);
            const QString expected = language == language::Language::Chinese ? chinese : english;
            QCOMPARE(system_error::inUserWords(code), expected);
            // QFile and QTemporaryDir give only the system's English text.
            QCOMPARE(system_error::inUserWords(qt_error_string(code)), expected);
        }
    }

    // Without words of ours, the system's own, whatever the language.
    void otherErrorsKeepTheSystemsWords()
    {
        const language::Translators english(language::Language::English);
        QCOMPARE(system_error::inUserWords(EXDEV), qt_error_string(EXDEV));
        QCOMPARE(system_error::inUserWords(QStringLiteral("Unknown error")),
                 QStringLiteral("Unknown error"));
        QCOMPARE(system_error::causeOf(EXDEV), system_error::Cause::Other);
    }
};

QTEST_GUILESS_MAIN(SystemErrorTest)
#include "test_system_error.moc"
