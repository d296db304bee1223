// The device's configuration block on the Device page. Stand-in until the
// device actions land.

#include "zurovurazev.h"

void ZuROVUrazev::settingsRead() {}
void ZuROVUrazev::warnConfigFailure() {}
void ZuROVUrazev::warnCorruptedConfig() {}
