#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>

bool InstallQtTranslations() {
    // A desktop theme's native file and colour dialogs (GTK's on GNOME, Xfce, MATE) speak the
    // desktop's language, not ours.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
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
