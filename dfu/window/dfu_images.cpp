#include "dfu_images.h"

#include <QtGlobal>

// The resource lives in a static library; its registration must be pulled in
// by name, outside any namespace.
void initDfuImages()
{
    Q_INIT_RESOURCE(dfu_images);
}
