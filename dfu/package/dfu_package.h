#pragma once

#include "dfu_status.h"

#include <QString>

#include <cstdint>
#include <functional>

class QFile;

// A firmware package (.dfu), all numbers unsigned 32-bit little-endian:
//   magic 0x424210F0, hardwareId, infoLength N,
//   N bytes of base64 info text, padding to a multiple of 4,
//   then the image up to the end of the file, written from address 0.
struct DfuPackageHeader
{
    static constexpr uint32_t Magic = 0x424210F0;
    static constexpr int Size = 12;
    // The header and at least 4 image bytes.
    static constexpr int MinimumFileSize = 16;
    // The info is a version text: a package whose header claims more is
    // not one (it would be read, decoded and shown whole).
    static constexpr uint32_t MaxInfoLength = 4096;

    uint32_t magic = 0;
    uint32_t hardwareId = 0;
    uint32_t infoLength = 0;
};

// Reads the connected bootloader's status; false when it cannot.
using DfuStatusReader = std::function<bool(DFUStatus *status)>;
// Shows the user why a package was refused.
using DfuWarning = std::function<void(const QString &message)>;

// Checks that the open `file`, positioned at its start, is a package for the
// connected board. On success `info` holds the package's description and the
// file is positioned at the first image byte. On failure the reason goes to
// `warn` and the file is closed. The bootloader is asked for its status only
// once the file itself has passed, so a file that is no package causes no
// traffic.
bool checkFirmwarePackage(QFile &file, QString &info, const DfuStatusReader &readStatus,
                          const DfuWarning &warn);
