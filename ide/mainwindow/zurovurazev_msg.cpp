// The message console page. Stand-in until the console lands.

#include "zurovurazev.h"

void ZuROVUrazev::setupMsgWidget() {}
void ZuROVUrazev::halApiReinit() {}
