#pragma once
// Version-1 configuration block of a radio controller: 16 bytes,
// little-endian and packed.
//   0 u16 Header   id, mcuid, iface, lang, transport (bit 15 kept)
//   2 u16 Address  device address, 0xFFFF = broadcast
//   4 u32 RFreq    radio frequency word
//   8 u32 RFlags   speed, power, channel, init, remote (bits 17-31 kept)
//  12 u32 ASMBin   length of the script image that goes with it

#include "rfconfstruct.h"

namespace CFG_V1 {

constexpr qint32 ZUC_RFPLCCONFIG_ID = 1;

// RFlags bit fields.
inline int rflagsSpeed(quint32 rflags) { return rflags & 0x7; }
inline int rflagsPower(quint32 rflags) { return (rflags >> 3) & 0xF; }
inline int rflagsChannel(quint32 rflags) { return (rflags >> 7) & 0xFF; }
inline bool rflagsInit(quint32 rflags) { return (rflags >> 15) & 1; }
inline bool rflagsRemote(quint32 rflags) { return (rflags >> 16) & 1; }
// Bits 17-31 are not interpreted and survive init() and the editor.
constexpr quint32 RFlagsKeptBits = 0xFFFE0000u;

using RFConfStruct = ::RFConfStruct;

class ZUC_RFPLCCONFIG : public RFConfStruct
{
    Q_OBJECT
public:
    static constexpr int Size = 16;

    using RFConfStruct::RFConfStruct;
    void init() override;
    QString dump(int indent) const override;
    QByteArray serialize() const override;
    // Reads the first 16 bytes; a shorter array returns false and changes
    // nothing.
    bool parse(const QByteArray &data) override;

    quint16 Header = 0;
    quint16 Address = 0;
    quint32 RFreq = 0;
    quint32 RFlags = 0;
    quint32 ASMBin = 0;
};

} // namespace CFG_V1
