#include "gen_test_support.h"
#include "kolm_gen_context.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

const KolmBoardPackageParser &emulator()
{
    static const KolmBoardPackageParser bsp = [] {
        KolmBoardPackageParser p;
        std::string message;
        EXPECT_TRUE(p.parse(std::string(KOLM_BSP_DIR) + "/Emulator.kbsp", &message)) << message;
        return p;
    }();
    return bsp;
}

TEST(GeneratorPackage, DefinesAndAbiAdded)
{
    KolmGenContext gen;
    gen.setBoardPackage(&emulator());
    EXPECT_EQ(gen.definesMap().at("GPIO_MODE_OUTPUT"), "0x01");
    EXPECT_EQ(gen.definesMap().at("__ABI__"), "4");
    EXPECT_EQ(&gen.boardPackage(), &emulator());
    gen.setBoardPackage(nullptr);
    EXPECT_EQ(gen.boardPackage().ram_size, 0x400u);
}

TEST(GeneratorPackage, ProjectDefinesWin)
{
    KolmGenContext gen;
    gen.addDefine("__ABI__", "2");
    gen.addDefine("GPIO_MODE_OUTPUT", "7");
    gen.setBoardPackage(&emulator());
    EXPECT_EQ(gen.definesMap().at("__ABI__"), "2");
    EXPECT_EQ(gen.definesMap().at("GPIO_MODE_OUTPUT"), "7");
}

TEST(GeneratorPackage, LoadIntoDefaultPackage)
{
    KolmGenContext gen;
    std::string error;
    EXPECT_FALSE(gen.loadBoardPackage("/nonexistent/file.kbsp", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(gen.definesMap().count("__ABI__"));
    ASSERT_TRUE(gen.loadBoardPackage(std::string(KOLM_BSP_DIR) + "/Emulator.kbsp", error)) << error;
    EXPECT_EQ(gen.definesMap().at("__ABI__"), "4");
    EXPECT_EQ(gen.peripheryAddress("PA1", "TOGGLE"), 0x40010004u);
    std::ostringstream dump;
    gen.dumpBoardPackage(dump);
    EXPECT_EQ(dump.str().rfind("BSP Emulator: RAM [0x20000000:200000ff]", 0), 0u) << dump.str().substr(0, 80);
}

TEST(GeneratorPackage, FailedLoadKeepsTheDefaultPackage)
{
    char name[] = "/tmp/kolm_bsp_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(name) << "<Platform name=\"Half\" abi=\"8\"></Platform>"; // no Ram element
    KolmGenContext gen;
    std::string error;
    EXPECT_FALSE(gen.loadBoardPackage(name, error));
    std::remove(name);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(gen.boardPackage().abi, 4u);
    EXPECT_EQ(gen.boardPackage().name, "");
    std::stringstream out;
    ASSERT_TRUE(gen.declareVariable("a", 0, &out));
    ASSERT_TRUE(gen.declareVariable("b", 0, &out));
    EXPECT_EQ(gen.globalAddress("b"), 0x20000004u);
}

TEST(GeneratorPackage, GlobalsBoundedByPackageRam)
{
    KolmGenContext gen;
    gen.setBoardPackage(&emulator());
    std::stringstream out;
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(gen.declareVariable("g" + std::to_string(i), 0, &out)) << i;
    EXPECT_FALSE(gen.declareVariable("g64", 0, &out));
    EXPECT_EQ(gen.globalAddress("g63"), 0x200000FCu);
    std::string error;
    gen.begin(&out, false, false);
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    EXPECT_EQ(gen.bssSize, 256u);
    EXPECT_EQ(u32At(out, 32), 256u);
}

TEST(GeneratorPackage, PeripheralAddressesAddTheBase)
{
    KolmGenContext gen;
    gen.setBoardPackage(&emulator());
    EXPECT_EQ(gen.peripheryAddress("PA1"), 0x40010000u);
    EXPECT_EQ(gen.peripheryAddress("PA1", "TOGGLE"), 0x40010004u);
    EXPECT_EQ(gen.peripheryAccess("PA1", "TOGGLE"), 0x02u);
    EXPECT_EQ(gen.peripheryAccess("PA1", "VALUE"), 0x03u);
    EXPECT_EQ(gen.peripheryAddress("PA1", "NOPE"), 0u);
    EXPECT_EQ(gen.peripheryAddress("NOPE"), 0u);
}

} // namespace
