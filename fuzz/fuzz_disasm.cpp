// Bytecode images for the disassembler: any image that loads must be
// listed in every form without a crash, a hang or a read outside the image.

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_disasm.h"
#include "kolm_p.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static NullStream log;
    kolm_hal_set_debug_stream(&log);
    for (OutputType format : {OUTPUT_TEXT, OUTPUT_JSON, OUTPUT_XML}) {
        std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
        kolm_flash_read(in);
        KOLM_VM.flags = 0;
        if (kolm_vm_init() != 0)
            break;
        NullStream listing;
        const AsmImage image{KOLM_VM.text_start, KOLM_VM.text_end, KOLM_VM.data_start, KOLM_VM.data_end,
                             KOLM_VM.table};
        asm_dismember(image, listing, format, "0.5.0");
    }
    return 0;
}
