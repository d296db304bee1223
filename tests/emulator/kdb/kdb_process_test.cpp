// halvane-kdb as a process: return values, exit statuses with their
// messages, version and help texts.

#include "child_process.h"
#include "kdb_images.h"
#include "kdb_program.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct RunCase {
    const char *name;
    std::string image;
    bool viaStdin;
    std::string report; // last line on standard error
};

class LocalRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(LocalRun, ReportsTheReturnValueAndExitsWithZero)
{
    const RunCase &c = GetParam();
    TempDir dir;
    const ChildResult r = c.viaStdin ? runChild(command({"-"}), c.image)
                                     : runChild(command({dir.write("image.kcs", c.image)}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(endsWith(r.err, c.report)) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(Table, LocalRun, ::testing::Values(
    RunCase{"File", returningImage(42), false, "Return value: 42\n"},
    RunCase{"Stdin", returningImage(42), true, "Return value: 42\n"},
    RunCase{"Unsigned", returningImage(0xFFFFFFFF), false, "Return value: 4294967295\n"},
    RunCase{"Crash", crashingImage(), false,
            "asm error: segmentation fault at 0x00000033\nReturn value: null [crashed]\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LocalRun, NoArgumentReadsStandardInput)
{
    const ChildResult r = runChild(command({}), returningImage(7));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Return value: 7\n");
}

TEST(LocalRun, VerboseEndsWithTheMachineStackAndRam)
{
    TempDir dir;
    const ChildResult r = runChild(command({"--verbose", dir.write("image.kcs", returningImage(5))}));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Input file size 43 bytes\n"), std::string::npos) << r.err;
    const size_t report = r.err.find("EOF / HLT\nContext:\n%EAX\t0\t%EBX\t0\n");
    ASSERT_NE(report, std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Flags:\n\tError:\t0\n\tSEGV:\tclear", report), std::string::npos);
    EXPECT_NE(r.err.find("Stack:\n 0x00000000", report), std::string::npos);
    EXPECT_NE(r.err.find("RAM:\n 0x00  0x00", report), std::string::npos);
    EXPECT_TRUE(endsWith(r.err, "Return value: 0\n"));
}

TEST(LocalRun, VerboseWithTheImageOnStandardInputRunsWithoutTheConsole)
{
    // Standard input holds only the image: no console can read commands
    // there, so the script runs to its end and returns its own value.
    const ChildResult r = runChild(command({"--verbose", "-"}), returningImage(6));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.rfind("Reading from stdinEOF / HLT\nContext:\n%EAX\t6\t", 0), 0u) << r.err;
    EXPECT_EQ(r.out.rfind("Executing code:\n", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find(">>>>STEP"), std::string::npos) << r.out;
    EXPECT_TRUE(endsWith(r.err, "Return value: 6\n"));
}

// ---------------------------------------------------------------- exit statuses

struct ExitCase {
    const char *name;
    std::vector<std::string> args; // "@image" is replaced by the image's path
    std::string image;
    std::string input;             // standard input
    int status;
    std::string message;           // last line on standard error; "@" the image's path
};

class ExitStatus : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitStatus, EndsWithItsMessage)
{
    const ExitCase &c = GetParam();
    TempDir dir;
    const std::string image = dir.write("image.kcs", c.image);
    std::vector<std::string> args;
    for (const std::string &a : c.args)
        args.push_back(a == "@image" ? image : a.rfind("@dir", 0) == 0 ? dir.path("") + a.substr(std::min<size_t>(5, a.size())) : a);
    std::string message = c.message;
    if (size_t at = message.find('@'); at != std::string::npos)
        message.replace(at, 1, dir.path(""));
    const ChildResult r = runChild(command(args), c.input);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(endsWith(r.err, message)) << r.err;
}

std::string badMagicImage()
{
    std::string image = returningImage(1);
    image[2] = '\x00';
    return image;
}

INSTANTIATE_TEST_SUITE_P(Table, ExitStatus, ::testing::Values(
    ExitCase{"Missing", {"@dir/none.kcs"}, "", "", 2, "Input file @none.kcs is not readable\n"},
    ExitCase{"Directory", {"@dir"}, "", "", 2, "Input file @ is not readable\n"},
    ExitCase{"Short", {"@image"}, std::string(35, 'x'), "", 3, "File is invalid - at least 36 bytes expected\n"},
    ExitCase{"ShortStdin", {"-"}, "", std::string(35, 'x'), 3, "Input is invalid - at least 36 bytes expected\n"},
    ExitCase{"EmptyStdinDisassembler", {"-d"}, "", "", 3, "Input is invalid - at least 36 bytes expected\n"},
    ExitCase{"HeaderOnly", {"@image"}, ImageBuilder().build(), "", 0, "Return value: null [crashed]\n"},
    ExitCase{"Unwritable", {"-o", "@dir/no/such/file", "@image"}, returningImage(1), "", 4,
             "Cannot write to @no/such/file\n"},
    ExitCase{"BadMagic", {"@image"}, badMagicImage(), "", 5, "Initialization failed with code 3\n"},
    ExitCase{"UnknownLong", {"--bogus", "@image"}, "", "", 1, "Unknown option 'bogus'.\n"},
    ExitCase{"UnknownShort", {"-dq"}, "", "", 1, "Unknown option 'q'.\n"},
    ExitCase{"MissingLong", {"@image", "--output"}, "", "", 1, "Missing value after '--output'.\n"},
    ExitCase{"MissingShort", {"@image", "-l"}, "", "", 1, "Missing value after '-l'.\n"},
    ExitCase{"Unexpected", {"--verbose=1"}, "", "", 1, "Unexpected value after '--verbose'.\n"},
    ExitCase{"JsonAndXml", {"-d", "-j", "-x", "@image"}, returningImage(1), "", 1,
             "JSON and XML options are mutually exclusive\n"},
    ExitCase{"JsonAndXmlNoInput", {"-djx"}, "", "", 3, "Input is invalid - at least 36 bytes expected\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ExitStatus, CommandLineErrorIsTheOnlyOutput)
{
    const ChildResult r = runChild(command({"--port"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Missing value after '--port'.\n");
    EXPECT_EQ(r.out, "");
}

// ---------------------------------------------------------------- option forms

// The output option in each of its forms sends the verbose start of a run
// to the file; a value that begins with "-" is still a value.
class OutputOption : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(OutputOption, WritesTheRunToTheFile)
{
    TempDir dir;
    std::vector<std::string> args{"--verbose", dir.write("image.kcs", returningImage(3))};
    for (const std::string &a : GetParam())
        args.push_back(a == "@out" ? dir.path("-out.txt") : a == "-o@out" ? "-o" + dir.path("-out.txt")
                       : a == "--output=@out" ? "--output=" + dir.path("-out.txt") : a);
    const ChildResult r = runChild(command(args));
    EXPECT_EQ(r.status, 0);
    const std::string written = TempDir::read(dir.path("-out.txt"));
    EXPECT_EQ(written.rfind("Executing code:\nmain\texti\tmsg\n24\t0\t0\nsegv\tack\tbss\n0\t0\t0\nContext:\n", 0), 0u)
        << written;
    // Standard input is empty: the console quits before the first step.
    EXPECT_TRUE(endsWith(r.err, "Return value: 0\n"));
}

INSTANTIATE_TEST_SUITE_P(Forms, OutputOption, ::testing::Values(
    std::vector<std::string>{"--output=@out"},
    std::vector<std::string>{"--output", "@out"},
    std::vector<std::string>{"-o", "@out"},
    std::vector<std::string>{"-o@out"}));

// A cluster of flags ends in an option that takes the next argument.
TEST(OutputOption, ClusteredFlagsAndValue)
{
    TempDir dir;
    const std::string listing = dir.path("listing.txt");
    const ChildResult r = runChild(command({"-dxo", listing, dir.write("image.kcs", returningImage(3))}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(std::filesystem::exists(listing));
}

TEST(OutputOption, DashSendsOutputAndLogToStandardOutput)
{
    TempDir dir;
    const ChildResult r = runChild(command({"-o", "-", dir.write("image.kcs", crashingImage())}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "asm error: division by zero\nasm error: segmentation fault at 0x00000033\n");
    EXPECT_EQ(r.err, "Return value: null [crashed]\n");
}

// ---------------------------------------------------------------- texts

const char kVersionLine[] = "halvane-kdb 0.5.0 (c) the Kolm developers\n";

TEST(Texts, Version)
{
    for (const char *option : {"--version", "-v"}) {
        const ChildResult r = runChild(command({option}));
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, kVersionLine);
        EXPECT_EQ(r.err, "");
    }
}

TEST(Texts, Help)
{
    const ChildResult r = runChild(command({"-d", "--help", "--bogus"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, std::string(kVersionLine) + "Usage: " + kProgram + " [options]\n"
        "Kolm Debugger (halvane).\nOptions:\n"
        " -v, --version      \tDisplays version information.\n"
        " -h, --help         \tDisplays help on commandline options.\n"
        " -d, --disassembler \tRun in disassembler mode.\n"
        " -j, --json         \tFormat disassembler output as a JSON document\n"
        " -x, --xml          \tFormat disassembler output as a XML document\n"
        " -o, --output <file>\tPrint program output to <file> instead of stderr\n"
        " -g, --server       \tRun in gdbserver mode\n"
        " -e, --emulator     \tRun in emulator mode\n"
        " -p, --port <port>  \tServer/emulator port (default: 5542)\n"
        " -l, --level <level>\tLog verbosity level (error*/warn/info)\n"
        " --no-core          \tDo not log core-specific messages\n"
        " --log-hal          \tLog hal specific messages\n"
        " --log-emu          \tLog emulator specific messages\n"
        " --log-net          \tLog network specific messages\n"
        " --verbose          \tVerbose output.\n"
        "\nHome page: https://kolm.dev\n");
}

} // namespace
