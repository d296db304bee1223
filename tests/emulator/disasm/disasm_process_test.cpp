// halvane-kdb -d as a process: the listings of the golden images, the
// IDE's way (JSON of an image on standard input), the output option, and a
// hostile image whose fault report goes to standard error only.

#include "child_process.h"
#include "disasm_fixture.h"
#include "disasm_golden_images.h"
#include "temp_dir.h"

#include <tuple>

namespace {

const std::string kProgram = KDB_PROGRAM;

// The options that choose a listing form.
std::vector<std::string> formArgs(OutputType format)
{
    if (format == OUTPUT_JSON)
        return {"-d", "-j"};
    if (format == OUTPUT_XML)
        return {"-d", "-x"};
    return {"-d"};
}

std::vector<std::string> command(OutputType format, const std::vector<std::string> &more)
{
    std::vector<std::string> args{kProgram};
    for (const std::string &a : formArgs(format))
        args.push_back(a);
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::string goldenImage(size_t index)
{
    std::string error;
    const std::string image = buildGoldenImage(kGoldenImages[index], error);
    EXPECT_FALSE(image.empty()) << error;
    return image;
}

class DisasmProcess : public ::testing::TestWithParam<std::tuple<size_t, OutputType>> {};

TEST_P(DisasmProcess, ListsTheImageFileAsTheGoldenListing)
{
    const auto [index, format] = GetParam();
    TempDir dir;
    const ChildResult r = runChild(command(format, {dir.write("image.kcs", goldenImage(index))}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, TempDir::read(goldenPath(kGoldenImages[index].name, format)));
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<size_t, OutputType>> &info)
{
    const char *forms[] = {"Text", "Json", "Xml"};
    return std::string(kGoldenImages[std::get<0>(info.param)].name) + "_" + forms[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Golden, DisasmProcess,
                         ::testing::Combine(::testing::Range(size_t(0), std::size(kGoldenImages)),
                                            ::testing::ValuesIn(kForms)),
                         caseName);

TEST(DisasmProcessModes, JsonOfAnImageOnStandardInput)
{
    for (size_t i = 0; i < std::size(kGoldenImages); ++i) {
        const ChildResult r = runChild(command(OUTPUT_JSON, {}), goldenImage(i));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, TempDir::read(goldenPath(kGoldenImages[i].name, OUTPUT_JSON)));
    }
}

TEST(DisasmProcessModes, OutputOptionTakesTheListing)
{
    TempDir dir;
    const std::string listingFile = dir.path("listing.xml");
    const ChildResult r = runChild(command(OUTPUT_XML, {"-o", listingFile, dir.write("a.kcs", goldenImage(0))}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(TempDir::read(listingFile), TempDir::read(goldenPath(kGoldenImages[0].name, OUTPUT_XML)));
}

TEST(DisasmProcessModes, ListingThatCannotBeWrittenFails)
{
    // /dev/full opens but refuses every write.
    TempDir dir;
    const std::string image = dir.write("a.kcs", goldenImage(0));
    for (OutputType format : kForms) {
        const ChildResult r = runChild(command(format, {"-o", "/dev/full", image}));
        ASSERT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 4);
        EXPECT_EQ(r.err, "Cannot write to /dev/full\n");
    }
}

TEST(DisasmProcessModes, EmptyRomIsRefusedWithNoData)
{
    // With the emulator option and no image argument the ROM stays empty;
    // the disassembler mode wins and has nothing to list.
    for (OutputType format : kForms) {
        const ChildResult r = runChild(command(format, {"-e"}), goldenImage(0));
        ASSERT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 5);
        EXPECT_EQ(r.err, "No data\n");
        EXPECT_EQ(r.out, "");
    }
}

TEST(DisasmProcessModes, FaultReportGoesToStandardErrorAndTheListingStaysValid)
{
    // A debug section that claims more files and bytes than the image
    // holds: the second path length, at 0x33, runs past the end.
    ImageBuilder image;
    image.ins(kolm_isa::OP_halt).extension("DS", ImageBuilder::words({0xFFFFFFFF, 2}) + "ab" + "c", 100);
    for (OutputType format : kForms) {
        const ChildResult r = runChild(command(format, {}), image.build());
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "asm error: segmentation fault at 0x00000033\n");
        EXPECT_EQ(r.out.find("segmentation"), std::string::npos);
        expectDocument(format, r.out);
        if (format == OUTPUT_JSON) {
            EXPECT_EQ(jsonValues(r.out, {"extensions.0.data.files"}), "[\"ab\"]\n");
        }
    }
}

} // namespace
