#include "localisation/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace ringtally {

QtTranslations::~QtTranslations()
{
    if (installed_)
        QCoreApplication::removeTranslator(&danish_);
}

bool QtTranslations::use(bool english)
{
    if (english) {
        if (installed_)
            QCoreApplication::removeTranslator(&danish_);
        installed_ = false;
        return true;
    }
    if (installed_)
        return true;
    // qtbase holds the texts of the widgets the program shows.
    if (!danish_.load(QLocale(QLocale::Danish, QLocale::Denmark), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    installed_ = QCoreApplication::installTranslator(&danish_);
    return installed_;
}

} // namespace ringtally
