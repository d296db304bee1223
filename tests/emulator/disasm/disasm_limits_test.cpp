// Listings of crafted images stay within a small constant factor of the
// image: repeated literals, overlapping records, deep chains of arrays and
// debug information that claims more than its extension holds.

#include "disasm_fixture.h"

#include <pthread.h>

#include <functional>

using namespace kolm_isa;

namespace {

constexpr uint32_t kData = 0x08000000;

std::string u32(uint32_t value)
{
    return ImageBuilder::words({value});
}

// Bytes of listing allowed per image byte, and for the fixed head.
constexpr size_t kBytesPerImageByte = 40;
constexpr size_t kFixedBytes = 4096;

struct LimitCase {
    const char *name;
    std::function<void(ImageBuilder &)> build;
};

// A literal of 4000 bytes named by an array of 2000 elements that all
// refer to it: listed in full each time, the array would repeat it 2000
// times.
void repeatedLiteral(ImageBuilder &image)
{
    std::string data(4000, 'x');
    data += '\0';
    for (int i = 0; i < 2000; ++i)
        data += u32(kData);
    image.data(data).extension("TS", record(0, 1, 4000) + record(4000, 2, 2000));
}

// 5000 records at offsets 0 to 4999, each a literal up to the data end.
void overlappingRecords(ImageBuilder &image)
{
    std::string records;
    for (uint32_t k = 0; k < 5000; ++k)
        records += record(k, 1, 5000 - k);
    image.data(std::string(5000, 'y')).extension("TS", records);
}

// The same with arrays of numbers: each record spans the rest of the data.
void overlappingArrays(ImageBuilder &image)
{
    std::string records;
    for (uint32_t k = 0; k < 5000; ++k)
        records += record(k, 3, (5000 - k - 1) / 4);
    image.data(std::string(5000, '\0')).extension("TS", records);
}

// Many "TS" extensions, one record each, all naming one large literal.
void manyExtensions(ImageBuilder &image)
{
    image.data(std::string(8000, 'z'));
    for (int i = 0; i < 3000; ++i)
        image.extension("TS", record(0, 1, 8000));
}

// Array k holds array k + 1, 5000 levels deep.
void deepChain(ImageBuilder &image)
{
    std::string data, records;
    for (uint32_t k = 0; k < 5000; ++k) {
        data += std::string(1, '\0') + u32(kData + 5 * (k + 1));
        records += record(5 * k, 2, 1);
    }
    image.data(data + "end").extension("TS", records + record(25000, 1, 3));
}

const LimitCase kLimitCases[] = {
    {"RepeatedLiteral", repeatedLiteral},
    {"OverlappingRecords", overlappingRecords},
    {"OverlappingArrays", overlappingArrays},
    {"ManyExtensions", manyExtensions},
    {"DeepChain", deepChain},
};

class ListingLimit : public DisasmTestP<LimitCase> {};

// Runs the listing on a thread with a small stack, where a walk whose depth
// the image sets would overflow.
std::string listingOnSmallStack(OutputType format)
{
    struct Job {
        OutputType format;
        std::string out;
    } job{format, {}};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 512 * 1024);
    pthread_t thread;
    const auto run = [](void *argument) -> void * {
        Job &j = *static_cast<Job *>(argument);
        j.out = listing(j.format);
        return nullptr;
    };
    EXPECT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return job.out;
}

} // namespace

TEST_P(ListingLimit, OutputGrowsWithTheImageOnly)
{
    ImageBuilder image;
    image.ins(OP_halt);
    GetParam().build(image);
    const std::string bytes = image.build();
    for (OutputType format : kForms) {
        ASSERT_EQ(load(image), 0u);
        const std::string out = listingOnSmallStack(format);
        EXPECT_LE(out.size(), kBytesPerImageByte * bytes.size() + kFixedBytes) << "format " << format;
        EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u) << log.str();
        expectDocument(format, out);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, ListingLimit, ::testing::ValuesIn(kLimitCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The literal is listed in full inside the array until the literals listed
// there pass the image's size; the rest of the elements are unresolved.
TEST_F(DisasmTest, RepeatedLiteralIsListedUntilTheBudgetIsSpent)
{
    ImageBuilder image;
    image.ins(OP_halt);
    repeatedLiteral(image);
    const std::string bytes = image.build();
    ASSERT_EQ(load(image), 0u);
    const std::string json = listing(OUTPUT_JSON);
    const size_t fullListings = bytes.size() / 4000;
    EXPECT_EQ(jsonValues(json, {"extensions.0.data.symbols.1.array.0.type",
                                "extensions.0.data.symbols.1.array." + std::to_string(fullListings - 1) + ".type",
                                "extensions.0.data.symbols.1.array." + std::to_string(fullListings) + ".type",
                                "extensions.0.data.symbols.1.array.1999.type"}),
              "1\n1\n-1\n-1\n");
}

// Arrays nested deeper than the cap are unresolved elements.
TEST_F(DisasmTest, NestingStopsAtTheCap)
{
    ImageBuilder image;
    image.ins(OP_halt);
    deepChain(image);
    ASSERT_EQ(load(image), 0u);
    std::string path = "extensions.0.data.symbols.0";
    for (uint32_t level = 0; level < kMaxArrayNesting; ++level)
        path += ".array.0";
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {path + ".type", path + ".array.0.type"}), "2\n-1\n");
}

// Debug information whose counts pass its extension's length is listed
// only from the extension's bytes: the symbol extension after it is not
// read as debug information, and is listed once, as itself.
TEST_F(DisasmTest, DebugInformationStaysInsideItsExtension)
{
    ImageBuilder image;
    image.ins(OP_halt).data("ab");
    image.extension("DS", u32(5) + u32(2) + "f1").extension("TS", record(0, 1, 2));
    ASSERT_EQ(load(image), 0u);
    const std::string json = listing(OUTPUT_JSON);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u);
    EXPECT_EQ(jsonValues(json, {"extensions.0.data.files", "extensions.1.type", "extensions.1.data.symbols.0.literal"}),
              "[\"f1\"]\n\"TS\"\n\"ab\"\n");
}
