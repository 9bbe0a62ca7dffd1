#include "core/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace translations {

bool installQtChinese(QCoreApplication &app)
{
    const QString name = QStringLiteral("qtbase_zh_CN");
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
    };
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(name, folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

}  // namespace translations
