// Replies of the configuration transfer: read, write and control of the
// configuration block. Stand-ins until the transfer lands: every reply ends
// its chain.

#include "zurovurazev.h"

void ZuROVUrazev::processMcuCfgRead(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x03, sub);
}

void ZuROVUrazev::processMcuCfgWrite(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x04, sub);
}

void ZuROVUrazev::processMcuCfgCtrl(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x06, sub);
}
