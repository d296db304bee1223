// Listings of images that the code generator builds, compared byte for byte
// with the files in golden/ (text, JSON and XML). With KOLM_UPDATE_GOLDEN=1
// in the environment the test writes the files instead.

#include "disasm_golden_images.h"

#include "disasm_fixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Golden : public DisasmTestP<GoldenImage> {};

TEST_P(Golden, ListingsMatchTheFilesAndParse)
{
    const GoldenImage &image = GetParam();
    std::string error;
    const std::string bytes = buildGoldenImage(image, error);
    ASSERT_FALSE(bytes.empty()) << error;
    const bool update = std::getenv("KOLM_UPDATE_GOLDEN") != nullptr;
    for (OutputType format : kForms) {
        loadImage(bytes);
        ASSERT_EQ(kolm_vm_init(), 0u) << log.str();
        const std::string out = listing(format);
        const std::string path = goldenPath(image.name, format);
        if (update)
            std::ofstream(path, std::ios::binary) << out;
        EXPECT_EQ(out, readFile(path)) << path;
        EXPECT_FALSE(g_asm_walk.leftImage) << log.str();
        expectDocument(format, out);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, Golden, ::testing::ValuesIn(kGoldenImages),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
