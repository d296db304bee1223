// Hostile images for the disassembler: counts and lengths far beyond the
// image, truncated sections, arrays that hold themselves. Each listing must
// end with bounded output, stay a valid document and leave no sanitizer
// report.

#include "disasm_fixture.h"

#include <functional>
#include <random>

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

// Counts and lengths that pass the end of the debug section end its
// listing there; only a section that claims more bytes than the image
// holds leaves the image.
const HostileCase kCases[] = {
    {"DebugFileCountHuge", [](ImageBuilder &i) { i.extension("DS", u32(0xFFFFFFFF) + u32(2) + "ab"); },
     false, 600},
    {"DebugPathLengthHuge", [](ImageBuilder &i) { i.extension("DS", u32(1) + u32(0xFFFFFFF0) + "abc"); },
     false, 600},
    {"DebugEntryCountHuge", [](ImageBuilder &i) { i.extension("DS", u32(0) + u32(0xFFFFFFFF) + u32(1)); },
     false, 600},
    {"DebugZeroLengthPathsUpToTheImageEnd",
     [](ImageBuilder &i) { i.extension("DS", u32(0xFFFFFFFF) + std::string(400, '\0')); }, false, 1300},
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
        EXPECT_EQ(g_asm_walk.leftImage, c.leavesImage) << log.str();
        EXPECT_EQ(logged("asm error: segmentation fault at "), c.leavesImage) << log.str();
    }
    EXPECT_LE(text.size(), c.maxTextBytes) << text;
}

INSTANTIATE_TEST_SUITE_P(Images, HostileImage, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Seeded random images: code, data with every byte value, symbol records
// that mostly resolve, debug information, and a tail cut at a random place.
// Whatever they hold, the JSON and XML listings must parse.
class RandomImages : public DisasmTest {
protected:
    uint32_t pick(uint32_t bound) { return std::uniform_int_distribution<uint32_t>(0, bound - 1)(m_random); }
    std::string bytes(uint32_t count)
    {
        std::string out;
        for (uint32_t i = 0; i < count; ++i)
            out.push_back(char(pick(256)));
        return out;
    }
    // Small values that hit the data, now and then anything.
    uint32_t value(uint32_t small) { return pick(16) ? pick(small) : uint32_t(m_random()); }
    // The right count or length, now and then anything.
    uint32_t count(uint32_t right) { return pick(16) ? right : uint32_t(m_random()); }

    std::string image()
    {
        ImageBuilder image;
        const uint32_t dataSize = pick(60);
        image.data(bytes(dataSize));
        // Code of random bytes; no jump table, whose count could reach past
        // everything that follows.
        for (uint32_t i = pick(40); i > 0; --i) {
            const uint8_t byte = uint8_t(pick(256));
            image.raw({byte == kolm_isa::OP_tbl ? uint8_t(kolm_isa::OP_nop) : byte});
        }
        std::string symbols;
        for (uint32_t i = pick(8); i > 0; --i)
            symbols += record(value(dataSize + 1), 1 + value(3), value(4));
        const uint32_t files = pick(3), entries = pick(3);
        std::string debug = u32(count(files));
        for (uint32_t i = 0; i < files; ++i) {
            const std::string path = bytes(pick(10));
            debug += u32(count(uint32_t(path.size()))) + path;
        }
        debug += u32(count(entries)) + bytes(28 * entries);
        image.extension("TS", symbols).extension("DS", debug);
        const std::string built = image.build();
        return built.substr(0, built.size() - (pick(4) ? 0 : pick(12)));
    }

    std::mt19937 m_random{20261210};
};

TEST_F(RandomImages, ListingsStayDocuments)
{
    for (int round = 0; round < 16; ++round) {
        const std::string bytes = image();
        for (OutputType format : {OUTPUT_JSON, OUTPUT_XML}) {
            loadImage(bytes);
            KOLM_VM.flags = 0;
            ASSERT_EQ(kolm_vm_init(), 0u);
            expectDocument(format, listing(format));
        }
    }
}

} // namespace
