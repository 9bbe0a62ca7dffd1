#include "core/language.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#include <optional>

namespace language {

namespace {

struct Code {
    const char *code;
    Language language;
};
constexpr Code kCodes[] = {{"zh", Language::Chinese}, {"en", Language::English}};

constexpr char kOptionName[] = "language";
constexpr char kValueName[] = "zh|en";

// The program's English texts, which qt_add_translations builds from
// translations/harlune_en.ts into the core under this resource path.
constexpr char kProgramEnglish[] = ":/i18n/harlune_en.qm";
// Qt's own Simplified Chinese texts (Debian: qt6-translations-l10n).
constexpr char kQtChinese[] = "qtbase_zh_CN";
constexpr char kDeployedFolder[] = "translations";

std::optional<Language> fromCode(const QString &code)
{
    for (const Code &c : kCodes) {
        if (code.compare(QLatin1String(c.code), Qt::CaseInsensitive) == 0)
            return c.language;
    }
    return std::nullopt;
}

bool loadQtChinese(QTranslator &translator)
{
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kDeployedFolder)),
    };
    for (const QString &folder : folders) {
        if (translator.load(QLatin1String(kQtChinese), folder))
            return true;
    }
    return false;
}

}  // namespace

QCommandLineOption declare(QCommandLineParser &parser)
{
    const QCommandLineOption option(
        QLatin1String(kOptionName),
        QCoreApplication::translate("language",
                                    "文字的语言：zh（中文，默认）或 en（英文）；优先于 %1。")
            .arg(QLatin1String(kVariable)),
        QLatin1String(kValueName));
    parser.addOption(option);
    return option;
}

Choice read(const QCommandLineParser &parser, const QCommandLineOption &option,
            const QProcessEnvironment &environment)
{
    const bool given = parser.isSet(option);
    const QString value =
        given ? parser.value(option) : environment.value(QLatin1String(kVariable));
    Choice choice;
    // An empty variable is no choice, as an empty DISPLAY is no display.
    if (!given && value.isEmpty())
        return choice;
    if (const std::optional<Language> named = fromCode(value)) {
        choice.language = *named;
        return choice;
    }
    if (given) {
        choice.error =
            QCoreApplication::translate("language", "%1：'%2' 不是可选的语言，请用 zh 或 en")
                .arg(QLatin1String("--") + option.names().constFirst(), value);
    } else {
        choice.warning =
            QCoreApplication::translate("language", "%1：'%2' 不是可选的语言（zh 或 en），使用中文")
                .arg(QLatin1String(kVariable), value);
    }
    return choice;
}

// Each language needs one translator: English the program's, Chinese Qt's.
Translators::Translators(Language language)
{
    const bool loaded = language == Language::English
                            ? translator_.load(QLatin1String(kProgramEnglish))
                            : loadQtChinese(translator_);
    complete_ = loaded && QCoreApplication::installTranslator(&translator_);
}

}  // namespace language
