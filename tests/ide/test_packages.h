#pragma once

#include "kolm_board_package.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>

// Board packages for the project page tools' tests: the small packages in
// the tests' data folder and the built-in ones, read through the real
// reader. Null when a package cannot be read (the test then fails on it).
inline std::unique_ptr<KolmBoardPackageParser> readPackage(const std::string& path)
{
    auto package = std::make_unique<KolmBoardPackageParser>();
    if (!package->parse(path))
        return nullptr;
    return package;
}

inline std::unique_ptr<KolmBoardPackageParser> testPackage(const char* name)
{
    return readPackage(std::string(KOLM_TEST_PACKAGE_DIR "/") + name);
}

inline std::unique_ptr<KolmBoardPackageParser> builtinPackage(const char* name)
{
    return readPackage(std::string(KOLM_BSP_DIR "/") + name);
}

// Names with numbers in the order a reader expects: stem + first, ...,
// stem + last, as the emulator's pins (PA0 ... PA15) and the channels of
// numbered.kbsp (CH1 ... CH12) carry them.
inline QStringList numbered(const QString& stem, int first, int last)
{
    QStringList names;
    for (int number = first; number <= last; ++number)
        names << stem + QString::number(number);
    return names;
}
