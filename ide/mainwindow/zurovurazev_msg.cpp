// The message console page. Stand-in until the console lands.

#include "zurovurazev.h"

void ZuROVUrazev::setupMsgWidget() {}
void ZuROVUrazev::halApiReinit() {}
void ZuROVUrazev::mcApiReplyReceived(const ZuHalPacket &) {}
void ZuROVUrazev::halApiReplyReceived(const ZuHalPacket &) {}
void ZuROVUrazev::msgKolmReceived(const QByteArray &, bool) {}
