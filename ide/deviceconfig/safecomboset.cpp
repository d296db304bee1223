#include "safecomboset.h"

#include <QComboBox>

void safeComboSet(QComboBox *combo, int index, int fallback)
{
    combo->setCurrentIndex(index < combo->count() ? index : fallback);
}
