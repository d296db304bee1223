#include "gen_test_support.h"
#include "kolm_gen_context.h"
#include "test_node.h"
#include "kolm_opcodes.h"
#include "console_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

using namespace kolm_isa;

namespace {

Bytes header(uint16_t flags, uint16_t codeLength, uint32_t mainEntry, uint32_t bss)
{
    return cat({{0xFE, 0xFF, 0xA1, 0xA0, 0x05, 0x00, uint8_t(flags), uint8_t(flags >> 8), 'B', 'C',
                 uint8_t(codeLength), uint8_t(codeLength >> 8)},
                le32(mainEntry), le32(0), le32(0), le32(0), le32(0), le32(bss)});
}

class Image : public ::testing::Test
{
protected:
    void mainOnly()
    {
        ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
        ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    }

    KolmGenContext gen;
    std::stringstream out;
    std::string error;
};

TEST_F(Image, MinimalWithoutDebugInformation)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    EXPECT_EQ(bytesOf(out), header(0, 0, 0, 0));
    mainOnly();
    ASSERT_TRUE(gen.finalize("/p/main.kos", &out, error)) << error;
    EXPECT_EQ(bytesOf(out), cat({header(0, 25, 36, 0), {0xFE}, {'T', 'S', 0, 0}}));
    EXPECT_EQ(gen.textSize, 1u);
    EXPECT_EQ(gen.dataSize, 0u);
    EXPECT_EQ(gen.bssSize, 0u);
}

TEST_F(Image, MinimalWithDebugInformation)
{
    ASSERT_TRUE(gen.begin(&out, true, true));
    TestNode body("/p/main.kos", 1, 1, 3, 2, [](KolmGenContext *ctx, std::ostream *o) {
        std::string e;
        return ctx->declareFunction("main", {}, {}, false, o, e) && ctx->endFunctionImplementation(o, e);
    });
    ASSERT_TRUE(body.compile(&gen, &out));
    ASSERT_TRUE(gen.finalize("/p/main.kos", &out, error)) << error;
    const Bytes expected = cat({header(3, 25, 36, 0), {0xFE}, {'T', 'S', 0, 0}, {'D', 'S', 48, 0},
                                le32(1), le32(8), {'m', 'a', 'i', 'n', '.', 'k', 'o', 's'},
                                le32(1), le32(36), le32(37), le32(0), le32(1), le32(1), le32(3), le32(2)});
    EXPECT_EQ(bytesOf(out), expected);
}

TEST_F(Image, GlobalsRunBeforeMain)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareVariable("a", 7, &out));
    ASSERT_TRUE(gen.declareVariable("b", 1, &out));
    mainOnly(); // halt at 36
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    const std::string image = out.str();
    EXPECT_EQ(u32At(image, 12), 37u);
    EXPECT_EQ(u32At(image, 32), 8u);
    EXPECT_EQ(bytesOf(out, 37, 30), cat({{0xE1, 0}, le32(7), {0xF0, 0}, le32(0x20000000), {0xE1, 0}, le32(1),
                                         {0xF0, 0}, le32(0x20000004), {0xE1, 4}, le32(36)}));
    EXPECT_EQ(u16At(image, 10), 67 - 12);
    EXPECT_EQ(gen.textSize, 31u);
    EXPECT_EQ(gen.bssSize, 8u);
    EXPECT_EQ(image.size(), 67u + 4);
}

TEST_F(Image, DataAndStaticObjectTable)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    const uint32_t hi = gen.placeLiteral("\"hi\"");
    ASSERT_TRUE(gen.placeNumberArray("nums", {5, 6}, error));
    ASSERT_TRUE(gen.placeStringArray("strs", {hi}, error));
    gen.placeLiteral("\"x\"");
    mainOnly();
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    const Bytes data = cat({{'h', 'i', 0}, {2}, le32(5), le32(6), {1}, le32(0x08000000), {'x', 0}});
    const Bytes table = cat({le32(0), le32(1), le32(2), le32(17), le32(1), le32(1),  // literals
                             le32(3), le32(3), le32(2), le32(12), le32(2), le32(1)}); // arrays
    EXPECT_EQ(bytesOf(out, 37), cat({{'D', 'T', uint8_t(data.size()), 0}, data, {'T', 'S', 48, 0}, table}));
    EXPECT_EQ(gen.dataSize, data.size());
}

TEST_F(Image, DebugSectionWithTwoFiles)
{
    ASSERT_TRUE(gen.begin(&out, true, false));
    auto nop = [](KolmGenContext *ctx, std::ostream *o) {
        ctx->write_instr(OP_nop, {}, o);
        return true;
    };
    TestNode inner("/p/lib/util.kos", 4, 5, 4, 9, nop);
    TestNode empty("/p/src/main.kos", 9, 9, 9, 9); // writes no code: no entry
    TestNode outer("/p/src/main.kos", 1, 1, 6, 2, [&](KolmGenContext *ctx, std::ostream *o) {
        std::string e;
        return ctx->declareFunction("main", {}, {}, false, o, e) && inner.compile(ctx, o) && empty.compile(ctx, o) &&
               nop(ctx, o) && ctx->endFunctionImplementation(o, e);
    });
    ASSERT_TRUE(outer.compile(&gen, &out));
    ASSERT_EQ(gen.debugEntries().size(), 2u);
    ASSERT_TRUE(gen.finalize("/p/src/main.kos", &out, error)) << error;
    const std::string util = "../lib/util.kos";
    const Bytes payload = cat({le32(2), le32(uint32_t(util.size())), Bytes(util.begin(), util.end()), le32(8),
                               Bytes{'m', 'a', 'i', 'n', '.', 'k', 'o', 's'}, le32(2),
                               le32(36), le32(37), le32(0), le32(4), le32(5), le32(4), le32(9),
                               le32(36), le32(39), le32(1), le32(1), le32(1), le32(6), le32(2)});
    EXPECT_EQ(bytesOf(out, 39 + 4), cat({{'D', 'S', uint8_t(payload.size()), 0}, payload}));
}

TEST_F(Image, RelativeAndEmptyFileNames)
{
    ASSERT_TRUE(gen.begin(&out, true, false));
    auto nop = [](KolmGenContext *ctx, std::ostream *o) {
        ctx->write_instr(OP_nop, {}, o);
        return true;
    };
    TestNode relative("lib/../lib/x.kos", 1, 1, 1, 2, nop);
    TestNode unnamed("", 2, 1, 2, 2, nop);
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    ASSERT_TRUE(relative.compile(&gen, &out));
    ASSERT_TRUE(unnamed.compile(&gen, &out));
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    const std::string name = "lib/x.kos";
    EXPECT_EQ(bytesOf(out, 39 + 4 + 4, 4 + 4 + name.size() + 4),
              cat({le32(2), le32(uint32_t(name.size())), Bytes(name.begin(), name.end()), le32(0)}));
}

TEST_F(Image, ForwardCallsAndFunctionAddressesPatched)
{
    gen.optimizeLevel = 1;
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareFunction("f", {"x"}, {11}, true, &out, error));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    const uint32_t load = pos(out);
    ASSERT_TRUE(gen.pullFunctionAddress("f", &out)); // sto r0
    gen.write_instr(OP_nop, {}, &out);
    ASSERT_TRUE(gen.beginFunctionCall("f", &out, error));
    const uint32_t folded = pos(out);
    ASSERT_TRUE(gen.pullFunctionAddress("f", &out));
    ASSERT_TRUE(gen.pushFunctionRegParameter(0, &out, true)); // the sto becomes a push of the address
    const uint32_t call = pos(out);
    ASSERT_TRUE(gen.functionCall("f", {11}, &out, error)) << error;
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    const uint32_t fEntry = pos(out);
    ASSERT_TRUE(gen.declareFunction("f", {"x"}, {11}, false, &out, error));
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    EXPECT_EQ(bytesOf(out, load, 6), cat({{0xE1, 0}, le32(fEntry)}));
    EXPECT_EQ(bytesOf(out, folded, 5), cat({{0xE5}, le32(fEntry)}));
    EXPECT_EQ(bytesOf(out, call, 6), cat({{0xE2}, le32(fEntry), {3}}));
}

TEST_F(Image, NoMain)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareFunction("f", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    EXPECT_FALSE(gen.finalize("main.kos", &out, error));
    EXPECT_EQ(error, "undefined reference to 'main'");
}

struct UndefinedCase {
    const char *name;
    bool call; // call it, or take its address
};

class UndefinedFunction : public ::testing::TestWithParam<UndefinedCase> {};

TEST_P(UndefinedFunction, FailsTheBuild)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareFunction("g", {}, {}, true, &out, error));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    if (GetParam().call) {
        ASSERT_TRUE(gen.beginFunctionCall(GetParam().name, &out, error));
        ASSERT_TRUE(gen.functionCall(GetParam().name, {}, &out, error)) << error;
    } else {
        ASSERT_TRUE(gen.pullFunctionAddress(GetParam().name, &out));
    }
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    EXPECT_FALSE(gen.finalize("main.kos", &out, error));
    EXPECT_EQ(error, std::string("undefined reference to ") + GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UndefinedFunction,
                         ::testing::Values(UndefinedCase{"g", true}, UndefinedCase{"g", false},
                                           UndefinedCase{"_msg", true}),
                         [](const ::testing::TestParamInfo<UndefinedCase> &info) {
                             return std::string(info.param.call ? "call_" : "address_") +
                                    (info.param.name[0] == '_' ? "special" : "declared");
                         });

TEST_F(Image, CodeBeyond64KiBRefused)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    for (uint32_t i = 36; i < 0x10000; ++i)
        gen.write_instr(OP_nop, {}, &out);
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error)); // halt ends at 0x10001
    EXPECT_FALSE(gen.finalize("main.kos", &out, error));
    EXPECT_EQ(error, "code too large - it ends at 65537, beyond offset 65536");
}

TEST_F(Image, CodeEndingAt64KiBAccepted)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    for (uint32_t i = 36; i < 0xFFFF; ++i)
        gen.write_instr(OP_nop, {}, &out);
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    EXPECT_EQ(u16At(out.str(), 10), 0x10000 - 12);
}

TEST_F(Image, DataSectionOver64KiBRefused)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    const std::string big(65534, 'a'); // 65535 bytes with its zero
    gen.placeLiteral("\"" + big + "\"");
    mainOnly();
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    EXPECT_EQ(gen.dataSize, 65535u);
    KolmGenContext over;
    std::stringstream out2;
    over.begin(&out2, false, false);
    over.placeLiteral("\"" + big + "b\"");
    ASSERT_TRUE(over.declareFunction("main", {}, {}, false, &out2, error));
    ASSERT_TRUE(over.endFunctionImplementation(&out2, error));
    EXPECT_FALSE(over.finalize("main.kos", &out2, error));
    EXPECT_EQ(error, "data section too large - 65536 bytes");
}

TEST_F(Image, StaticObjectTableOver64KiBRefused)
{
    ASSERT_TRUE(gen.begin(&out, false, false));
    for (int i = 0; i < 5462; ++i) // 5462 records of 12 bytes exceed 65535
        gen.placeLiteral("\"" + std::to_string(i) + "\"");
    mainOnly();
    EXPECT_FALSE(gen.finalize("main.kos", &out, error));
    EXPECT_EQ(error, "static object table too large - 5462 objects");
}

TEST_F(Image, OversizeDebugInformationOmittedWithWarning)
{
    std::ostringstream log;
    console_set_output(&log);
    ASSERT_TRUE(gen.begin(&out, true, true));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    std::vector<std::unique_ptr<TestNode>> nodes;
    for (int i = 0; i < 2400; ++i) { // 2400 entries of 28 bytes
        nodes.push_back(std::make_unique<TestNode>("/p/main.kos", i + 1, 1, i + 1, 5, [](KolmGenContext *c, std::ostream *o) {
            c->write_instr(OP_nop, {}, o);
            return true;
        }));
        ASSERT_TRUE(nodes.back()->compile(&gen, &out));
    }
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    ASSERT_TRUE(gen.finalize("/p/main.kos", &out, error)) << error;
    console_set_output(nullptr);
    const std::string image = out.str();
    EXPECT_EQ(u16At(image, 6), 2); // debug flag cleared, the second flag kept
    const size_t codeEnd = 36 + 2400 + 1;
    EXPECT_EQ(image.size(), codeEnd + 4);
    EXPECT_EQ(image.substr(codeEnd, 2), "TS");
    EXPECT_NE(log.str().find("debug information too large - omitted"), std::string::npos);
    EXPECT_NE(log.str().find("warning"), std::string::npos);
}

// An empty else-branch at level 1 shortens the code after it was written:
// nothing of the dropped jump may remain behind the image.
TEST_F(Image, ShrunkCodeLeavesNoStaleBytes)
{
    gen.optimizeLevel = 1;
    ASSERT_TRUE(gen.begin(&out, false, false));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.startIfElse(&out));
    gen.startElseBranch(&out);
    gen.endIfElse(&out);
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    ASSERT_TRUE(gen.finalize("main.kos", &out, error)) << error;
    EXPECT_EQ(out.str().size(), 36u + 9 + 1 + 4);
    EXPECT_EQ(out.str().substr(46), std::string("TS\0\0", 4));
}

TEST_F(Image, FileStreamThatWouldKeepStaleBytesFails)
{
    char name[] = "/tmp/kolm_image_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream file(name, std::ios::binary);
        gen.optimizeLevel = 1;
        ASSERT_TRUE(gen.begin(&file, false, false));
        ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &file, error));
        ASSERT_TRUE(gen.startIfElse(&file));
        gen.startElseBranch(&file);
        gen.endIfElse(&file);
        ASSERT_TRUE(gen.endFunctionImplementation(&file, error));
        EXPECT_FALSE(gen.finalize("main.kos", &file, error));
        EXPECT_EQ(error, "image stream cannot be truncated to the end of the image");
    }
    std::remove(name);
}

TEST(Debug, ContextMismatches)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    TestNode a("a.kos", 1, 1, 1, 1), b("a.kos", 2, 1, 2, 1);
    // Without debug information nothing is recorded and every end succeeds.
    gen.beginNodeCompile(&a, &out);
    EXPECT_TRUE(gen.endNodeCompile(&b, &out, error));
    EXPECT_TRUE(gen.debugEntries().empty());

    gen.begin(&out, true, false);
    EXPECT_FALSE(gen.endNodeCompile(&a, &out, error));
    EXPECT_EQ(error, "unexpected node end - context empty");
    gen.beginNodeCompile(&a, &out);
    EXPECT_FALSE(gen.endNodeCompile(&b, &out, error));
    std::ostringstream expected;
    expected << "unexpected end of node " << static_cast<const void *>(&b) << " compilation - expected "
             << static_cast<const void *>(&a);
    EXPECT_EQ(error, expected.str());
    EXPECT_TRUE(gen.endNodeCompile(&a, &out, error)); // the stack was left as it was

    gen.beginNodeCompile(&a, &out);
    out.seekp(10);
    EXPECT_FALSE(gen.endNodeCompile(&a, &out, error));
    std::ostringstream position;
    position << "unexpected stream position 10 at the end of node " << static_cast<const void *>(&a)
             << " compilation. started at 36";
    EXPECT_EQ(error, position.str());
}

TEST(Debug, NodeCompileReportsCorruption)
{
    KolmGenContext gen;
    std::stringstream out;
    std::ostringstream log;
    gen.begin(&out, true, false);
    TestNode other("x.kos", 1, 1, 1, 1);
    TestNode node("m.kos", 3, 4, 3, 9, [&](KolmGenContext *c, std::ostream *o) {
        c->beginNodeCompile(&other, o); // left open: the end of node finds it on top
        return true;
    });
    console_set_output(&log);
    EXPECT_FALSE(node.compile(&gen, &out));
    console_set_output(nullptr);
    EXPECT_NE(log.str().find("m.kos:3:4: internal error - debug stack corruption, error was: unexpected end of node"),
              std::string::npos);
}

// A push that folds the sto of the node before it takes that node's code
// back: the pushing node's entry starts where the sto stood.
TEST(Debug, FoldIntoEarlierNodeKeepsEntriesConsistent)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    gen.optimizeLevel = 1;
    gen.begin(&out, true, false);
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    TestNode value("m.kos", 1, 5, 1, 6, [](KolmGenContext *c, std::ostream *o) {
        c->write_sto(2, 7, o);
        return true;
    });
    TestNode push("m.kos", 1, 1, 1, 7, [](KolmGenContext *c, std::ostream *o) {
        return c->pushFunctionRegParameter(2, o, true);
    });
    ASSERT_TRUE(value.compile(&gen, &out));
    ASSERT_TRUE(push.compile(&gen, &out));
    ASSERT_EQ(gen.debugEntries().size(), 1u);
    EXPECT_EQ(gen.debugEntries()[0].codeStart, 36u);
    EXPECT_EQ(gen.debugEntries()[0].codeEnd, 41u);
    EXPECT_EQ(gen.debugEntries()[0].firstColumn, 1u);
}

TEST(Node, LocationAndTypeNames)
{
    TestNode node("main.kos", 12, 5, 12, 9);
    EXPECT_EQ(node.location(), "main.kos:12:5");
    TestNode none("", 0, 0, 0, 0);
    EXPECT_EQ(none.location(), ":0:0");
    EXPECT_EQ(KolmNode::typeName(11), "immediate value");
    EXPECT_EQ(KolmNode::typeName(6), "ABI");
    EXPECT_EQ(KolmNode::typeName(20), "variable_assignement");
    EXPECT_EQ(KolmNode::typeName(38), "user_type");
    for (int code : {13, 14, 30, 35, 39, -1})
        EXPECT_EQ(KolmNode::typeName(code), "unknown_type") << code;
}

} // namespace
