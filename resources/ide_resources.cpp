#include "ide_resources.h"

#include <QtCore/qglobal.h>

void initIdeResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(ide);
        return true;
    }();
    Q_UNUSED(registered);
}
