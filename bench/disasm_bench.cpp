// Disassembler speed: an image of 60 KB with its debug section, built through
// the code generator, is loaded and listed as halvane-kdb -d does, as JSON
// (goal: under 50 ms) and for comparison as text and XML. Prints the image's
// make-up and a table of the median and least times with the ratio to the
// goal.

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_disasm.h"
#include "debug_image.h"
#include "kolm_opcodes.h"
#include "kolm_p.h"
#include "script_timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace kolm_isa;

namespace {

constexpr size_t kImageBytes = 60 * 1024;
constexpr int kRuns = 25;
constexpr double kGoalMs = 50;

uint32_t u32At(const std::string &image, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | uint8_t(image[offset + size_t(i)]);
    return value;
}

uint16_t u16At(const std::string &image, size_t offset)
{
    return uint16_t(uint8_t(image[offset]) | (uint8_t(image[offset + 1]) << 8));
}

// Bytes of the code and of each tagged section, and the debug entry count.
void printMakeUp(const std::string &image)
{
    const size_t codeEnd = kolm_image::kEntryTableOffset + u16At(image, kolm_image::kCodeLengthOffset);
    std::printf("Image: %zu bytes; code %zu", image.size(), codeEnd);
    for (size_t at = codeEnd; at + 4 <= image.size();) {
        const std::string tag = image.substr(at, 2);
        const size_t length = u16At(image, at + 2);
        std::printf(", %s %zu", tag.c_str(), length);
        if (tag == kolm_image::kTagDebug) {
            const uint32_t files = u32At(image, at + 4);
            size_t entries = at + 8;
            for (uint32_t f = 0; f < files; ++f)
                entries += 4 + u32At(image, entries);
            std::printf(" (%u files, %u entries)", files, u32At(image, entries));
        }
        at += 4 + length;
    }
    std::printf("\n");
}

void load(const std::string &image)
{
    std::istringstream in(image);
    kolm_flash_read(in);
    if (kolm_vm_init() != 0) {
        std::fprintf(stderr, "The image does not load\n");
        std::exit(1);
    }
}

std::string listing(OutputType format)
{
    std::ostringstream out;
    const AsmImage image{KOLM_VM.text_start, KOLM_VM.text_end, KOLM_VM.data_start, KOLM_VM.data_end, KOLM_VM.table};
    if (!asm_dismember(image, out, format, "0.5.0")) {
        std::fprintf(stderr, "The listing failed\n");
        std::exit(1);
    }
    return out.str();
}

struct Row {
    const char *what;
    size_t bytes;
    std::vector<double> times;
    double goal; // 0: none
};

void printTable(std::vector<Row> rows)
{
    std::printf("\n%-14s %12s %11s %9s %9s %13s\n", "step", "output bytes", "median ms", "min ms", "goal ms",
                "median/goal");
    for (Row &row : rows) {
        std::sort(row.times.begin(), row.times.end());
        const double median = row.times[row.times.size() / 2];
        std::printf("%-14s %12zu %11.2f %9.2f", row.what, row.bytes, median, row.times.front());
        if (row.goal > 0)
            std::printf(" %9.0f %13.2f  %s\n", row.goal, median / row.goal, median < row.goal ? "ok" : "SLOW");
        else
            std::printf(" %9s %13s\n", "-", "-");
    }
}

} // namespace

int main()
{
    static NullStream log;
    kolm_hal_set_debug_stream(&log);
    const std::string image = debugImageOfSize(kImageBytes);
    printMakeUp(image);
    std::printf("%d runs of each step\n", kRuns);

    Row loading{"load", image.size(), {}, 0};
    for (int i = 0; i < kRuns; ++i)
        loading.times.push_back(timeMs([&] { load(image); }));
    std::vector<Row> rows{loading};
    // As halvane-kdb -d does: load, then list.
    const struct {
        const char *what;
        OutputType format;
        double goal;
    } forms[] = {{"load + JSON", OUTPUT_JSON, kGoalMs}, {"load + text", OUTPUT_TEXT, 0}, {"load + XML", OUTPUT_XML, 0}};
    for (const auto &form : forms) {
        Row row{form.what, 0, {}, form.goal};
        for (int i = 0; i < kRuns; ++i) {
            row.times.push_back(timeMs([&] {
                load(image);
                row.bytes = listing(form.format).size();
            }));
        }
        rows.push_back(row);
    }
    printTable(rows);
    return 0;
}
