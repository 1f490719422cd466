#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>

bool InstallQtTranslations() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return false;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_ja"), folder)) {
        delete translator;
        qWarning("Qt's Japanese translations (qtbase_ja) are missing in %s", qPrintable(folder));
        return false;
    }
    QCoreApplication::installTranslator(translator);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    return true;
}
