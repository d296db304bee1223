#pragma once
// Version-2 configuration block of an I/O controller: 8 bytes,
// little-endian and packed.
//   0 u16 Header   id, mcuid, iface, lang, transport (bit 15 kept)
//   2 u16 Address  device address, 0xFFFF = broadcast
//   4 u32 ASMBin   length of the script image that goes with it

#include "rfconfstruct.h"

namespace CFG_V2 {

constexpr qint32 ZUC_RFPLCCONFIG_ID = 2;

using RFConfStruct = ::RFConfStruct;

class ZUC_RFPLCCONFIG : public RFConfStruct
{
    Q_OBJECT
public:
    static constexpr int Size = 8;

    using RFConfStruct::RFConfStruct;
    void init() override;
    QString dump(int indent) const override;
    QByteArray serialize() const override;
    // Reads the first 8 bytes; a shorter array returns false and changes
    // nothing.
    bool parse(const QByteArray &data) override;

    quint16 Header = 0;
    quint16 Address = 0;
    quint32 ASMBin = 0;
};

} // namespace CFG_V2
