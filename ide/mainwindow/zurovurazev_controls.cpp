// Enabling the device controls. Stand-in until the device actions land.

#include "zurovurazev.h"

void ZuROVUrazev::setupControls() {}
