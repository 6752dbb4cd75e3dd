#include "shell/qt_translations.h"

#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QTranslator>

namespace {

Q_LOGGING_CATEGORY(lcTranslations, "neridal.translations", QtWarningMsg)

}  // namespace

bool LoadQtTranslations(QTranslator& translator) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QStringLiteral("qtbase_ja"), folder)) return true;
    qCWarning(lcTranslations) << "qtbase_ja not found in" << folder;
    return false;
}
