// Replies of the device information chain: address, capabilities, kind,
// sizes, GPIO hint and clock. Stand-ins until the chain lands: every reply
// ends its chain.

#include "zurovurazev.h"

void ZuROVUrazev::processMcuInfo(unsigned short, unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x01, sub);
}

void ZuROVUrazev::processMcuIohint(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x02, sub);
}

void ZuROVUrazev::processMcuTime(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x07, sub);
}

void ZuROVUrazev::deviceFirstConnected() {}
