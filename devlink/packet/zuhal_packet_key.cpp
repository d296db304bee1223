// The two text forms of a payload key: eight printable characters when every
// byte is one, otherwise sixteen hexadecimal digits.
#include "zuhal_packet.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int KeySize = int(sizeof(ZuHalPacket::Key));

bool printableKeyByte(uchar byte)
{
    return (byte >= 32 && byte <= 126) || (byte >= 9 && byte <= 13);
}

// Narrower than printableKeyByte: vertical tab and form feed do not count.
bool typableKeyChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 32 && u <= 126) || u == 9 || u == 10 || u == 13;
}

} // namespace

QString ZuHalPacket::printKey(const Key &key)
{
    const QByteArray bytes(reinterpret_cast<const char *>(key), KeySize);
    if (std::all_of(key, key + KeySize, printableKeyByte))
        return QString::fromLatin1(bytes);
    return QString::fromLatin1(bytes.toHex().toUpper());
}

bool ZuHalPacket::pasteKey(const QString &text, Key &key)
{
    QByteArray bytes;
    if (text.size() == KeySize && std::all_of(text.begin(), text.end(), typableKeyChar))
        bytes = text.toLatin1();
    else
        bytes = QByteArray::fromHex(text.toLatin1());
    if (bytes.size() != KeySize)
        return false;
    std::memcpy(key, bytes.constData(), KeySize);
    return true;
}
