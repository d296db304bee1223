#include "sourceeditorresources.h"

#include <QtGlobal>

void registerSourceEditorResources()
{
    // The bundle lives in a static library; naming its initialiser here keeps
    // the linker from dropping it.
    Q_INIT_RESOURCE(qsourceeditor_resources);
}
