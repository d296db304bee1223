#ifndef KOLM_ZUROVURAZEV_COMMANDS_H
#define KOLM_ZUROVURAZEV_COMMANDS_H

// The command bytes of the device's MC port, for the request layer and the
// reply handlers of the main window.

#include <QtGlobal>

namespace mc {

constexpr quint8 CmdMcuInfo = 0x01;
constexpr quint8 CmdMcuIohint = 0x02;
constexpr quint8 CmdMcuCfgRead = 0x03;
constexpr quint8 CmdMcuCfgWrite = 0x04;
constexpr quint8 CmdMcuCfgCtrl = 0x06;
constexpr quint8 CmdMcuTime = 0x07;
constexpr quint8 CmdAsmStatus = 0x20;
constexpr quint8 CmdAsmWrite = 0x22;
constexpr quint8 CmdAsmCtrl = 0x23;
constexpr quint8 CmdAsmState = 0x24;
constexpr quint8 CmdAsmRegs = 0x25;
constexpr quint8 CmdAsmRam = 0x26;

} // namespace mc

#endif
