// Board support package files: any bytes must parse or fail with a message,
// never crash, hang or exhaust memory.

#include "kolm_board_package.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/kolm_fuzz_board_package_" + std::to_string(getpid()) + ".kbsp";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), std::streamsize(size));
    }
    KolmBoardPackageParser package;
    std::string message;
    if (package.parse(path, &message)) {
        for (const std::string &peripheral : package.peripherals())
            package.registers(peripheral);
        package.defines();
    }
    std::remove(path.c_str());
    return 0;
}
