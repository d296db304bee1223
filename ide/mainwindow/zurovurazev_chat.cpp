// The chat page. Stand-in until the chat lands.

#include "zurovurazev.h"

void ZuROVUrazev::on_chatSendTool_clicked() {}
