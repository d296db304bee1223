#include "v1_cc1101_v1.h"

#include "cfg_block_io.h"

namespace CFG_V1 {

using namespace CfgBlockIO;

void ZUC_RFPLCCONFIG::init()
{
    // mcuid 3 "L0", iface 1 "USB", lang 1 "KolM", transport 1 "CC1101".
    Header = quint16(ZUC_RFPLCCONFIG_ID | 0x14B0 | (Header & HeaderKeptBits));
    Address = 0;
    RFreq = 0x216276;
    // speed 5 "100", power 4 "0dBm", channel 0, init and remote set.
    RFlags = (RFlags & RFlagsKeptBits) | 0x18025;
    ASMBin = 0;
}

QString ZUC_RFPLCCONFIG::dump(int indent) const
{
    const QString in(qMax(indent, 0), QLatin1Char(' '));
    return headerLines(in, Header)
        + fieldLine(in, QStringLiteral("Address"), Address)
        + fieldLine(in, QStringLiteral("RFreq"), RFreq)
        + sectionLine(in, QStringLiteral("RFlags"))
        + subFieldLine(in, QStringLiteral("speed"), rflagsSpeed(RFlags))
        + subFieldLine(in, QStringLiteral("power"), rflagsPower(RFlags))
        + subFieldLine(in, QStringLiteral("channel"), rflagsChannel(RFlags))
        + subFieldLine(in, QStringLiteral("init"), rflagsInit(RFlags))
        + subFieldLine(in, QStringLiteral("remote"), rflagsRemote(RFlags))
        + fieldLine(in, QStringLiteral("ASMBin"), ASMBin);
}

QByteArray ZUC_RFPLCCONFIG::serialize() const
{
    QByteArray out(Size, '\0');
    writeU16(out, 0, Header);
    writeU16(out, 2, Address);
    writeU32(out, 4, RFreq);
    writeU32(out, 8, RFlags);
    writeU32(out, 12, ASMBin);
    return out;
}

bool ZUC_RFPLCCONFIG::parse(const QByteArray &data)
{
    if (data.size() < Size)
        return false;
    Header = readU16(data, 0);
    Address = readU16(data, 2);
    RFreq = readU32(data, 4);
    RFlags = readU32(data, 8);
    ASMBin = readU32(data, 12);
    return true;
}

} // namespace CFG_V1
