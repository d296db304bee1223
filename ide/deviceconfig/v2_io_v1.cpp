#include "v2_io_v1.h"

#include "cfg_block_io.h"

namespace CFG_V2 {

using namespace CfgBlockIO;

void ZUC_RFPLCCONFIG::init()
{
    // mcuid 1 "F0", iface 1 "USB", lang 1 "KolM", transport 0 "NONE".
    Header = quint16(ZUC_RFPLCCONFIG_ID | 0x0490 | (Header & HeaderKeptBits));
    Address = 0;
    ASMBin = 0;
}

QString ZUC_RFPLCCONFIG::dump(int indent) const
{
    const QString in(qMax(indent, 0), QLatin1Char(' '));
    return headerLines(in, Header)
        + fieldLine(in, QStringLiteral("Address"), Address)
        + fieldLine(in, QStringLiteral("ASMBin"), ASMBin);
}

QByteArray ZUC_RFPLCCONFIG::serialize() const
{
    QByteArray out(Size, '\0');
    writeU16(out, 0, Header);
    writeU16(out, 2, Address);
    writeU32(out, 4, ASMBin);
    return out;
}

bool ZUC_RFPLCCONFIG::parse(const QByteArray &data)
{
    if (data.size() < Size)
        return false;
    Header = readU16(data, 0);
    Address = readU16(data, 2);
    ASMBin = readU32(data, 4);
    return true;
}

} // namespace CFG_V2
