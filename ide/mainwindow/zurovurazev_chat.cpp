// The chat page. Stand-in until the chat lands.

#include "zurovurazev.h"

void ZuROVUrazev::on_chatSendTool_clicked() {}
bool ZuROVUrazev::checkAck(const ZuHalPacket &) { return false; }
void ZuROVUrazev::addChatMessage(const ZuHalPacket &, bool, bool) {}
void ZuROVUrazev::processOtherPort(const ZuHalPacket &) {}
