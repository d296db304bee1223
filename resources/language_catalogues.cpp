#include "language_catalogues.h"

#include <QtCore/qglobal.h>

void initLanguageCatalogues()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(kolmide_lang);
        return true;
    }();
    Q_UNUSED(registered);
}
