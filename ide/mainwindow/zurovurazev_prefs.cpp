// The preferences action. Stand-in until the preferences dialog lands.

#include "zurovurazev.h"

void ZuROVUrazev::on_actionPreferences_triggered() {}
