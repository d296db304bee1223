#pragma once
// Names of the values of the configuration blocks' bit fields. A field's
// value is the index into its list. The lists are built on first use, so no
// static initialiser can see them empty. The texts are not translated.

#include <QString>
#include <QStringList>

// The version id of a configuration block: the low four bits of its header
// (CFG_V1::ZUC_RFPLCCONFIG_ID or CFG_V2::ZUC_RFPLCCONFIG_ID). It picks the
// block layout and its name lists.
int header_id_get(unsigned short header);

// The list's entry at index, or "Unknown" when index lies outside the list:
// every field value is shown through it.
QString safeArg(const QStringList &list, int index);

namespace CFG_V1 {
namespace ZUCStrings {
const QStringList &RFPLCCONFIG_HEADER_MCUID();
const QStringList &RFPLCCONFIG_HEADER_IFACE();
const QStringList &RFPLCCONFIG_HEADER_LANG();
const QStringList &RFPLCCONFIG_HEADER_TRANSPORT();
const QStringList &RFPLCCONFIG_RFLAGS_SPEED();
const QStringList &RFPLCCONFIG_RFLAGS_POWER();
} // namespace ZUCStrings
} // namespace CFG_V1

namespace CFG_V2 {
namespace ZUCStrings {
// Both layouts share one header, so they share its lists.
using CFG_V1::ZUCStrings::RFPLCCONFIG_HEADER_MCUID;
using CFG_V1::ZUCStrings::RFPLCCONFIG_HEADER_IFACE;
using CFG_V1::ZUCStrings::RFPLCCONFIG_HEADER_LANG;
using CFG_V1::ZUCStrings::RFPLCCONFIG_HEADER_TRANSPORT;
} // namespace ZUCStrings
} // namespace CFG_V2
