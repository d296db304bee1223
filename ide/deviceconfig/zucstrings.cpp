#include "zucstrings.h"

#include "cfg_block_io.h"

int header_id_get(unsigned short header)
{
    return CfgBlockIO::headerId(header);
}

QString safeArg(const QStringList &list, int index)
{
    if (index >= 0 && index < list.size())
        return list.at(index);
    return QStringLiteral("Unknown");
}

namespace CFG_V1 {
namespace ZUCStrings {

const QStringList &RFPLCCONFIG_HEADER_MCUID()
{
    static const QStringList list{"INV", "F0", "F1", "L0", "L1", "WB"};
    return list;
}

const QStringList &RFPLCCONFIG_HEADER_IFACE()
{
    static const QStringList list{"NONE", "USB", "UART"};
    return list;
}

const QStringList &RFPLCCONFIG_HEADER_LANG()
{
    static const QStringList list{"NONE", "KolM"};
    return list;
}

const QStringList &RFPLCCONFIG_HEADER_TRANSPORT()
{
    static const QStringList list{"NONE", "CC1101", "SI4463", "BLE", "WIFI", "LAN"};
    return list;
}

const QStringList &RFPLCCONFIG_RFLAGS_SPEED()
{
    static const QStringList list{"1.2", "2.4", "4.8", "10", "38", "100", "250", "500"};
    return list;
}

// From the strongest level down; the negative levels are written "dbm".
const QStringList &RFPLCCONFIG_RFLAGS_POWER()
{
    static const QStringList list{"12dBm",  "10dBm",  "7dBm",   "5dBm",   "0dBm",
                                  "-6dbm",  "-10dbm", "-15dbm", "-20dbm", "-30dbm"};
    return list;
}

} // namespace ZUCStrings
} // namespace CFG_V1
