// The firmware updater's package check on any file: the input is written to
// a package file and checked against a bootloader that reports the board the
// file names, so that every input that gets past the header reaches the
// info text. Whatever the bytes, a refused file is closed with one warning,
// and an accepted one is left open at an image of at least one byte, with an
// info text that holds no NUL.

#include "dfu_package.h"
#include "fuzz_check.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    check(dir.isValid());
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QFile file(dir.filePath(QStringLiteral("input.dfu")));
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    check(file.open(QIODevice::ReadOnly));

    const uint32_t board = bytes.size() >= 8 ? qFromLittleEndian<quint32>(bytes.constData() + 4) : 0;
    int warnings = 0;
    QString info;
    const bool accepted = checkFirmwarePackage(
        file, info,
        [board](DFUStatus *status) {
            status->hardwareId = board;
            return true;
        },
        [&warnings](const QString &) { ++warnings; });
    if (accepted) {
        check(warnings == 0 && file.isOpen());
        check(file.pos() >= 12 && file.pos() < file.size() && file.pos() % 4 == 0);
        check(!info.contains(QChar(0)));
    } else {
        check(warnings == 1 && !file.isOpen());
    }
    return 0;
}
