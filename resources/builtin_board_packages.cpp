#include "builtin_board_packages.h"

#include <QtCore/qglobal.h>

void initBuiltinBoardPackages()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(bsp);
        return true;
    }();
    Q_UNUSED(registered);
}
