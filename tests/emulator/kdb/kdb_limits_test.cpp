// halvane-kdb under inputs and scripts that would take the machine down:
// oversized images, endless input, a sleeping script, an output that cannot
// be written.

#include "child_process.h"
#include "flash.h"
#include "kdb_images.h"
#include "kdb_program.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// An image returning 9, padded with zero bytes to size.
std::string paddedImage(uint64_t size)
{
    std::string image = returningImage(9);
    image.resize(size, '\0');
    return image;
}

struct SizeCase {
    const char *name;
    uint64_t size;
    bool viaStdin;
    int status;
    const char *message; // the end of standard error
};

class ImageSize : public ::testing::TestWithParam<SizeCase> {};

} // namespace

TEST_P(ImageSize, LargestImageRunsOneByteMoreIsRefused)
{
    const SizeCase &c = GetParam();
    TempDir dir;
    const ChildResult r = c.viaStdin ? runChild(command({"-"}), paddedImage(c.size))
                                     : runChild(command({dir.write("image.kcs", paddedImage(c.size))}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(endsWith(r.err, c.message)) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Limits, ImageSize, ::testing::Values(
    SizeCase{"FileLargest", kolm_image::kMaxImageSize, false, 0, "Return value: 9\n"},
    SizeCase{"FileTooLarge", kolm_image::kMaxImageSize + 1, false, 3, "Image too large\n"},
    SizeCase{"StdinLargest", kolm_image::kMaxImageSize, true, 0, "Return value: 9\n"},
    SizeCase{"StdinTooLarge", kolm_image::kMaxImageSize + 1, true, 3, "Image too large\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// An image followed by 4 GiB of padding (a sparse file): its size does not
// wrap around to that of the small image.
TEST(ImageSizeLimit, FourGigabytesOfPaddingAreRefused)
{
    TempDir dir;
    const std::string path = dir.write("image.kcs", returningImage(9));
    std::filesystem::resize_file(path, (uint64_t(1) << 32) + 43);
    const ChildResult r = runChild(command({path}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Image too large\n");
}

// Endless standard input: refused as soon as it holds more than the largest
// image, without waiting for its end.
TEST(ImageSizeLimit, EndlessInputIsRefusedBeforeItsEnd)
{
    ChildProcess child(command({"-d", "-"}));
    child.write(std::string(KOLM_FLASH_READ_LIMIT, '\0'));
    const ChildResult r = child.wait(10000);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Image too large\n");
}

namespace {

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// main: dly ms; EAX := 3; halt.
std::string delayingImage(uint32_t ms)
{
    return ImageBuilder().ins(OP_spvi, {ms}).ins(OP_dly).ins(OP_sto, {REG_EAX, 3}).ins(OP_halt).build();
}

} // namespace

// A delayed script waits without spinning a core.
TEST(SuspendedScript, DelayUsesNoProcessorTime)
{
    TempDir dir;
    const std::string image = dir.write("image.kcs", delayingImage(1500));
    const double cpuBefore = childCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const ChildResult r = runChild(command({image}));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.err, "Return value: 3\n");
    EXPECT_GE(wall, 1.5);
    EXPECT_LT(childCpuSeconds() - cpuBefore, 0.75);
}

// A timer due during a long delay enters when due: the wait ends at the
// earliest event, not at the delay's end.
TEST(SuspendedScript, TimerEndsTheWait)
{
    ImageBuilder image;
    image.ins(OP_spvi, {0}).ins(OP_spvi, {200}).ins(OP_tim).ins(OP_srw, {2});
    image.ins(OP_spvi, {600000}).ins(OP_dly).ins(OP_halt);
    const uint32_t handler = image.here();
    image.ins(OP_sto, {REG_EAX, 77}).ins(OP_halt);
    std::string bytes = image.build();
    // The timer's handler address, the first word pushed.
    for (int i = 0; i < 4; ++i)
        bytes[ImageBuilder::kCodeStart + 1 + i] = char(handler >> (8 * i));
    TempDir dir;
    const auto start = std::chrono::steady_clock::now();
    const ChildResult r = runChild(command({dir.write("image.kcs", bytes)}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.err, "Return value: 77\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// A terminate signal ends a long delay at once.
TEST(SuspendedScript, TerminateSignalEndsTheWait)
{
    TempDir dir;
    ChildProcess child(command({dir.write("image.kcs", delayingImage(600000))}));
    ASSERT_TRUE(child.waitForSignalHandlers(10000));
    child.signal(SIGTERM);
    const ChildResult r = child.wait(5000);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Return value: 600000\n");
}

// A run whose log cannot be written fails as a listing does.
TEST(UnwritableOutput, RunEndsWithStatusFour)
{
    const std::string full = "/dev/full";
    if (!std::filesystem::exists(full))
        GTEST_SKIP() << "no " << full;
    TempDir dir;
    const ChildResult r = runChild(command({"-o", full, dir.write("image.kcs", crashingImage())}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "Return value: null [crashed]\nCannot write to /dev/full\n");
}
