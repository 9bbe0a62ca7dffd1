#pragma once

#include <QCommandLineOption>
#include <QProcessEnvironment>
#include <QString>
#include <QTranslator>

class QCommandLineParser;

// The language Harlune speaks, as every program of it chooses it: the option
// --language, failing it the environment variable HARLUNE_LANGUAGE, failing
// both Chinese. The system locale never counts: the Chinese texts are the
// program's own and its files' format, and a German or English desktop must
// not change them behind the user's back.
namespace language {

enum class Language { Chinese, English };

constexpr char kVariable[] = "HARLUNE_LANGUAGE";

// Adds --language <zh|en>, with its help, to `parser`.
QCommandLineOption declare(QCommandLineParser &parser);

// Once `parser` has parsed (also when it failed, so that the failure itself
// is told in the language asked for): the language of the option, else of
// `environment`'s HARLUNE_LANGUAGE, else Chinese. "zh" and "en" in any case.
// An option that names no language is refused: the result is Chinese, and
// `error` says what is wrong on one line, without the program's name. A
// variable that names none is passed over with a `warning` on one line, and
// the program goes on in Chinese: a variable set in a profile must not keep
// a window started from the desktop, where no message is seen, from opening.
struct Choice {
    Language language = Language::Chinese;
    QString error;
    QString warning;
};
Choice read(const QCommandLineParser &parser, const QCommandLineOption &option,
            const QProcessEnvironment &environment);

// The translators of a language, installed into the application while this
// object lives (a QTranslator leaves the application when it is destroyed);
// make it once the application object exists. English takes the program's
// texts from harlune_en.qm, built into the core, and no texts of Qt, whose own
// are English. Chinese takes none of the program's, whose source texts are
// Chinese, and Qt's from qtbase_zh_CN.qm for the platform's dialogs (另存为,
// 取消, 确定), looked for in Qt's translations folder and then in
// "translations" beside the program, where a Windows deployment puts it.
class Translators {
public:
    explicit Translators(Language language);
    Translators(const Translators &) = delete;
    Translators &operator=(const Translators &) = delete;

    // Whether the translation the language needs was found and installed.
    // Without qtbase_zh_CN the platform's dialogs stay English.
    bool complete() const { return complete_; }

private:
    QTranslator translator_;
    bool complete_ = false;
};

}  // namespace language
