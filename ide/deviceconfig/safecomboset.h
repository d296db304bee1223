#pragma once

class QComboBox;

// Selects index when the combo box has more items than index, else fallback.
// A negative index is passed on unchanged (the combo then shows no item).
void safeComboSet(QComboBox *combo, int index, int fallback);
