#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstdint>

// The bytes of a firmware package: header, info text as given (already
// base64), zero padding to a multiple of 4, image.
inline QByteArray firmwarePackage(uint32_t hardwareId, const QByteArray &info, const QByteArray &image,
                                  uint32_t magic = 0x424210F0)
{
    QByteArray bytes(12, '\0');
    qToLittleEndian<quint32>(magic, bytes.data());
    qToLittleEndian<quint32>(hardwareId, bytes.data() + 4);
    qToLittleEndian<quint32>(uint32_t(info.size()), bytes.data() + 8);
    bytes.append(info);
    bytes.append(QByteArray((4 - info.size() % 4) % 4, '\0'));
    bytes.append(image);
    return bytes;
}

// A recognisable image: byte k is k * 7 + 1, modulo 256.
inline QByteArray testImage(int size)
{
    QByteArray image(size, '\0');
    for (int k = 0; k < size; ++k)
        image[k] = char(k * 7 + 1);
    return image;
}
