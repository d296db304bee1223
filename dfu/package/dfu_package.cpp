#include "dfu_package.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

// Closes the file before the warning: a modal box runs an event loop in
// which the file's owner may go away.
bool fail(QFile &file, const DfuWarning &warn, const QString &message)
{
    file.close();
    warn(message);
    return false;
}

bool readHeader(QFile &file, DfuPackageHeader *header)
{
    const QByteArray bytes = file.read(DfuPackageHeader::Size);
    if (bytes.size() != DfuPackageHeader::Size)
        return false;
    header->magic = qFromLittleEndian<quint32>(bytes.constData());
    header->hardwareId = qFromLittleEndian<quint32>(bytes.constData() + 4);
    header->infoLength = qFromLittleEndian<quint32>(bytes.constData() + 8);
    return true;
}

// Where the image starts: after the header, the info and its padding.
qint64 imageOffset(const DfuPackageHeader &header)
{
    const qint64 info = header.infoLength;
    return DfuPackageHeader::Size + info + (4 - info % 4) % 4;
}

// The description: base64 text whose decoded Latin-1 bytes end at the first
// NUL byte.
QString decodeInfo(const QByteArray &base64)
{
    QByteArray text = QByteArray::fromBase64(base64);
    const int end = text.indexOf('\0');
    if (end >= 0)
        text.truncate(end);
    return QString::fromLatin1(text);
}

} // namespace

bool checkFirmwarePackage(QFile &file, QString &info, const DfuStatusReader &readStatus,
                          const DfuWarning &warn)
{
    // The messages belong to the updater window's translation context.
    const QString invalid = QCoreApplication::translate("HIDDfu", "Firmware package is invalid");
    const QString name = QFileInfo(file.fileName()).fileName();
    const qint64 size = file.size();
    DfuPackageHeader header;
    if (size < DfuPackageHeader::MinimumFileSize || !readHeader(file, &header))
        return fail(file, warn, invalid);
    if (header.magic != DfuPackageHeader::Magic)
        return fail(file, warn, QCoreApplication::translate("HIDDfu", "%1 is not a firmware package").arg(name));
    // The info is bounded, must end inside the file and leave an image
    // behind it.
    const qint64 image = imageOffset(header);
    if (header.infoLength > DfuPackageHeader::MaxInfoLength || image >= size)
        return fail(file, warn, invalid);

    DFUStatus status;
    if (!readStatus(&status) || status.hardwareId != header.hardwareId) {
        return fail(file, warn,
                    QCoreApplication::translate("HIDDfu", "Incompatible hardware detected.\n"
                                                          "%1 firmware package is designed for a different board")
                        .arg(name));
    }

    const QByteArray base64 = file.read(header.infoLength);
    if (base64.size() != qint64(header.infoLength) || !file.seek(image))
        return fail(file, warn, invalid);
    info = decodeInfo(base64);
    return true;
}
