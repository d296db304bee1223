// Replies about the script image and the virtual machine: status, image
// write, control, state, registers and RAM. Stand-ins until they land:
// every reply ends its chain.

#include "zurovurazev.h"

void ZuROVUrazev::processAsmStatus(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x20, sub);
}

void ZuROVUrazev::processAsmWrite(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x22, sub);
}

void ZuROVUrazev::processAsmCtrl(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x23, sub);
}

void ZuROVUrazev::processAsmState(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x24, sub);
}

void ZuROVUrazev::processAsmRegs(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x25, sub);
}

void ZuROVUrazev::processAsmRam(unsigned short sub, const unsigned char *, unsigned, NextPkt &)
{
    processPktBail(0x26, sub);
}
