#include "widgets/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator *InstallQtTranslation(QCoreApplication &app, int language)
{
    if (language != 0)
        return nullptr;
    auto *translator = new QTranslator(&app);
    // "qt" is the catalogue that pulls in qtbase and the other modules' translations.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}
