// Hostile images for the disassembler: counts and lengths far beyond the
// image, truncated sections, arrays that hold themselves. Each listing must
// end with bounded output, stay a valid document and leave no sanitizer
// report.

#include "disasm_fixture.h"

#include <functional>

using namespace kolm_isa;

namespace {

std::string u32(uint32_t value)
{
    return ImageBuilder::words({value});
}

// A literal array at offset 0 of the data whose elements are the given
// data-section addresses.
std::string literalArray(std::initializer_list<uint32_t> elements)
{
    return std::string(1, '\0') + ImageBuilder::words(elements);
}

struct HostileCase {
    const char *name;
    std::function<void(ImageBuilder &)> extensions;
    bool leavesImage;    // a read past the image ends the walk
    size_t maxTextBytes; // bound of the text listing
};

const HostileCase kCases[] = {
    {"DebugFileCountHuge", [](ImageBuilder &i) { i.extension("DS", u32(0xFFFFFFFF) + u32(2) + "ab"); },
     true, 600},
    {"DebugPathLengthHuge", [](ImageBuilder &i) { i.extension("DS", u32(1) + u32(0xFFFFFFF0) + "abc"); },
     true, 600},
    {"DebugEntryCountHuge", [](ImageBuilder &i) { i.extension("DS", u32(0) + u32(0xFFFFFFFF) + u32(1)); },
     true, 600},
    {"DebugZeroLengthPathsUpToTheImageEnd",
     [](ImageBuilder &i) { i.extension("DS", u32(0xFFFFFFFF) + std::string(400, '\0')); }, true, 1300},
    {"DebugSectionTruncated", [](ImageBuilder &i) { i.extension("DS", u32(1), 200); }, true, 600},
    {"SymbolRecordsTruncated",
     [](ImageBuilder &i) { i.data("abc").extension("TS", record(0, 1, 3) + "\x01\x02", 120); }, true, 600},
    {"SymbolLengthAtTheSixteenBitLimit",
     // The last record, at 65532, ends 9 bytes after the section; the 12
     // zero bytes after the section are three empty extensions.
     [](ImageBuilder &i) { i.data("a").extension("TS", std::string(65535 + 12, '\0'), 65535); }, false, 600},
    {"LiteralLongerThanTheImage", [](ImageBuilder &i) { i.data("abc").extension("TS", record(0, 1, 0xFFFFFFFF)); },
     true, 600},
    {"LiteralOffsetWrapsAround",
     [](ImageBuilder &i) { i.data("abc").extension("TS", record(0xFFFFFFF0, 1, 0x20)); }, true, 600},
    {"ArrayCountHuge", [](ImageBuilder &i) { i.data(literalArray({0})).extension("TS", record(0, 3, 0x40000000)); },
     true, 600},
    {"ArrayHoldingItself",
     [](ImageBuilder &i) {
         i.data(literalArray({0x08000000, 0x08000000, 0x08000000})).extension("TS", record(0, 2, 3));
     },
     false, 600},
    {"ChainOfArrays",
     // Array k at offset 17k holds array k+1 four times: listed without
     // care, array 0 would hold 4^12 copies of the last one.
     [](ImageBuilder &i) {
         std::string data, records;
         for (uint32_t k = 0; k < 13; ++k) {
             const uint32_t next = 0x08000000 + 17 * (k + 1);
             data += literalArray({next, next, next, next});
             records += record(17 * k, 2, 4);
         }
         i.data(data).extension("TS", records);
     },
     false, 12000},
    {"TrailingBytesAfterTheLastExtension", [](ImageBuilder &i) { i.extension("XY", "").extension("Z", ""); },
     true, 600},
};

class HostileImage : public DisasmTestP<HostileCase> {};

TEST_P(HostileImage, BoundedValidListing)
{
    const HostileCase &c = GetParam();
    ImageBuilder image;
    image.ins(OP_halt);
    c.extensions(image);
    std::string text;
    for (OutputType format : kForms) {
        ASSERT_EQ(load(image), 0u);
        log.str("");
        const std::string out = listing(format);
        if (format == OUTPUT_TEXT)
            text = out;
        EXPECT_LE(out.size(), 4 * c.maxTextBytes) << out.substr(0, 2000);
        expectDocument(format, out);
        EXPECT_EQ((KOLM_VM.flags & KOLM_FLAG_SEGV) != 0, c.leavesImage) << log.str();
        EXPECT_EQ(logged("asm error: segmentation fault at "), c.leavesImage) << log.str();
    }
    EXPECT_LE(text.size(), c.maxTextBytes) << text;
}

INSTANTIATE_TEST_SUITE_P(Images, HostileImage, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
