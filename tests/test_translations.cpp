// Qt's own dialogs speak Chinese once the program has loaded Qt's translation,
// and the program's question before replacing a file uses their words.
#include "core/export/export_target.h"
#include "core/language.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

namespace {
const char kPackage[] = "qt6-translations-l10n is not installed (no qtbase_zh_CN.qm)";
}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT
private slots:
    // Asked for English, the platform's dialogs are Qt's own English: no
    // Chinese of Qt's is installed.
    void platformDialogsSpeakEnglishWhenAsked()
    {
        const language::Translators english(language::Language::English);
        QVERIFY(english.complete());
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Save As"));
        QCOMPARE(export_target::replaceQuestion(QStringLiteral("report.xlsx")),
                 QStringLiteral("report.xlsx already exists.\nDo you want to replace it?"));
    }

    void platformDialogsSpeakChinese()
    {
        const language::Translators chinese(language::Language::Chinese);
        if (!chinese.complete())
            QSKIP(kPackage);

        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));

        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("另存为"));
        const auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    }

    void replaceQuestionInTheDialogsWords()
    {
        QTranslator qt;
        if (!qt.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QSKIP(kPackage);
        const QString dialogsOwn =
            qt.translate("QFileDialog", "%1 already exists.\nDo you want to replace it?");
        QVERIFY(!dialogsOwn.isEmpty());
        QCOMPARE(export_target::replaceQuestion(QStringLiteral("report.xlsx")),
                 dialogsOwn.arg(QStringLiteral("report.xlsx")));
    }
};

QTEST_MAIN(TranslationsTest)
#include "test_translations.moc"
