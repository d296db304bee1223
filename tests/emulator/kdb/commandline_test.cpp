#include "stdcommandlineparser.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kNotice[] = "(c) the Kolm makers";

// A parser with the kind of options halvane-kdb declares.
void declareOptions(StdCommandLineParser &parser)
{
    parser.applicationDescription = "Kolm Debugger (halvane).";
    parser.applicationNotice = kNotice;
    parser.applicationEpilog = "Home: kolm.example";
    parser.setApplicationVersion({0, 5, 0});
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(StdCommandLineOption({"d", "disassembler"}, "Run in disassembler mode."));
    parser.addOption(StdCommandLineOption({"j", "json"}, "JSON"));
    parser.addOption(StdCommandLineOption({"o", "output"}, "Output", "file", ""));
    parser.addOption(StdCommandLineOption({"p", "port"}, "Port", "port", "5542"));
    parser.addOption(StdCommandLineOption({"l", "level"}, "Level", "level", "error"));
    parser.addOption(StdCommandLineOption({"verbose"}, "Verbose output."));
}

bool parseArgs(StdCommandLineParser &parser, std::vector<std::string> args)
{
    args.insert(args.begin(), "./halvane-kdb");
    std::vector<const char *> argv;
    for (const std::string &a : args)
        argv.push_back(a.c_str());
    return parser.parse(int(argv.size()), argv.data());
}

struct Expect {
    std::string name;
    bool set;
    std::string value;
};

struct ParseCase {
    std::vector<std::string> args;
    bool ok;
    std::string error;
    std::vector<Expect> expects;
    std::list<std::string> positional;
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, ResultErrorValuesAndPositionals)
{
    const ParseCase &c = GetParam();
    StdCommandLineParser parser;
    declareOptions(parser);
    EXPECT_EQ(parseArgs(parser, c.args), c.ok);
    EXPECT_EQ(parser.errorText, c.error);
    for (const Expect &e : c.expects) {
        EXPECT_EQ(parser.isSet(e.name), e.set) << e.name;
        EXPECT_EQ(parser.value(e.name), e.value) << e.name;
    }
    EXPECT_EQ(parser.positionalArguments(), c.positional);
}

INSTANTIATE_TEST_SUITE_P(Table, Parse, ::testing::Values(
    ParseCase{{}, true, "", {{"d", false, ""}, {"port", false, "5542"}}, {}},
    ParseCase{{"-", "", "image.kcs"}, true, "", {}, {"-", "image.kcs"}},
    ParseCase{{"-d", "image.kcs", "-j"}, true, "", {{"d", true, ""}, {"j", true, ""}}, {"image.kcs"}},
    ParseCase{{"--port=5542"}, true, "", {{"port", true, "5542"}}, {}},
    ParseCase{{"--port", "5542"}, true, "", {{"port", true, "5542"}}, {}},
    ParseCase{{"-p", "5542"}, true, "", {{"p", true, "5542"}}, {}},
    ParseCase{{"-p5542"}, true, "", {{"port", true, "5542"}}, {}},
    ParseCase{{"--port="}, true, "", {{"port", true, ""}}, {}},
    ParseCase{{"--port=a=b"}, true, "", {{"port", true, "a=b"}}, {}},
    ParseCase{{"--port", "-x"}, true, "", {{"port", true, "-x"}}, {}},
    ParseCase{{"-o", "-", "-d"}, true, "", {{"output", true, "-"}, {"d", true, ""}}, {}},
    ParseCase{{"-p", "--verbose"}, true, "", {{"port", true, "--verbose"}, {"verbose", false, ""}}, {}},
    ParseCase{{"-dj"}, true, "", {{"d", true, ""}, {"j", true, ""}}, {}},
    ParseCase{{"-dp", "80", "img"}, true, "", {{"d", true, ""}, {"port", true, "80"}}, {"img"}},
    ParseCase{{"-pd"}, true, "", {{"port", true, "d"}, {"d", false, ""}}, {}},
    ParseCase{{"--port"}, false, "Missing value after '--port'.", {}, {}},
    ParseCase{{"-d", "-p"}, false, "Missing value after '-p'.", {{"d", true, ""}}, {}},
    ParseCase{{"-dp"}, false, "Missing value after '-p'.", {{"d", true, ""}}, {}},
    ParseCase{{"--verbose=1"}, false, "Unexpected value after '--verbose'.", {{"verbose", false, ""}}, {}},
    ParseCase{{"--verbose="}, false, "Unexpected value after '--verbose'.", {}, {}},
    ParseCase{{"--bogus=3"}, false, "Unknown option 'bogus'.", {}, {}},
    ParseCase{{"img", "-dq", "-j"}, false, "Unknown option 'q'.", {{"d", true, ""}, {"j", false, ""}}, {"img"}},
    ParseCase{{"-d=1"}, false, "Unknown option '='.", {{"d", true, ""}}, {}},
    ParseCase{{"--"}, false, "Unknown option ''.", {}, {}},
    ParseCase{{"--d"}, true, "", {{"disassembler", true, ""}}, {}},
    ParseCase{{"-disassembler"}, false, "Unknown option 'i'.", {{"d", true, ""}}, {}}));

TEST(Parser, RepeatedOptionKeepsEveryValueInOrder)
{
    StdCommandLineParser parser;
    declareOptions(parser);
    ASSERT_TRUE(parseArgs(parser, {"-l", "info", "--verbose", "--level=warn", "-d"}));
    EXPECT_EQ(parser.value("level"), "warn");
    EXPECT_EQ(parser.values("l"), (std::list<std::string>{"info", "warn"}));
    EXPECT_EQ(parser.values("port"), (std::list<std::string>{"5542"}));
    EXPECT_EQ(parser.values("nothing"), (std::list<std::string>{""}));
    EXPECT_EQ(parser.value("nothing"), "");
    EXPECT_FALSE(parser.isSet("nothing"));
    EXPECT_EQ(parser.optionNames(),
              (std::list<std::string>{"disassembler", "level", "level", "verbose"}));
}

TEST(Parser, NewParseForgetsEarlierValues)
{
    StdCommandLineParser parser;
    declareOptions(parser);
    ASSERT_TRUE(parseArgs(parser, {"-d", "img"}));
    ASSERT_TRUE(parseArgs(parser, {"-j"}));
    EXPECT_FALSE(parser.isSet("d"));
    EXPECT_TRUE(parser.isSet("j"));
    EXPECT_TRUE(parser.positionalArguments().empty());
}

TEST(Parser, AddOptionRefusesNamelessAndTakenNames)
{
    StdCommandLineParser parser;
    declareOptions(parser);
    const size_t count = parser.options().size();
    EXPECT_FALSE(parser.addOption(StdCommandLineOption({"x", "port"}, "taken long name")));
    EXPECT_FALSE(parser.addOption(StdCommandLineOption({"d"}, "taken short name")));
    EXPECT_FALSE(parser.addOption(StdCommandLineOption({})));
    EXPECT_EQ(parser.options().size(), count);
    EXPECT_EQ(parser.find("x"), parser.options().end());
    EXPECT_TRUE(parser.addOption(StdCommandLineOption({"x", "xml"})));
    EXPECT_EQ(parser.find("xml")->name(), "xml");
    EXPECT_TRUE(parser.addPositionalArgument("image", "the image"));
    EXPECT_FALSE(parser.addPositionalArgument("image", "again"));
}

TEST(Parser, VersionOptionStaysInFrontOfHelp)
{
    for (bool helpFirst : {true, false}) {
        StdCommandLineParser parser;
        parser.addOption(StdCommandLineOption({"d"}));
        if (helpFirst) {
            parser.addHelpOption();
            parser.addVersionOption();
        } else {
            parser.addVersionOption();
            parser.addHelpOption();
        }
        // A second call finds the existing option and changes nothing.
        EXPECT_EQ(parser.addHelpOption().name(), "help");
        EXPECT_EQ(parser.addVersionOption().name(), "version");
        ASSERT_EQ(parser.options().size(), 3u);
        EXPECT_EQ(parser.options()[0].name(), "version") << helpFirst;
        EXPECT_EQ(parser.options()[1].name(), "help") << helpFirst;
        EXPECT_EQ(parser.options()[2].name(), "d") << helpFirst;
    }
}

TEST(Parser, VersionText)
{
    StdCommandLineParser parser;
    declareOptions(parser);
    EXPECT_EQ(parser.versionText(), std::string("Kolm Debugger (halvane). 0.5.0 ") + kNotice + "\n");
    ASSERT_TRUE(parseArgs(parser, {}));
    EXPECT_EQ(parser.versionText(), std::string("halvane-kdb 0.5.0 ") + kNotice + "\n");
    parser.applicationNotice.clear();
    const char *argv[] = {"/opt/kolm/bin/halvane-kdb"};
    ASSERT_TRUE(parser.parse(1, argv));
    EXPECT_EQ(parser.versionText(), "halvane-kdb 0.5.0\n");
    parser.setApplicationVersion({});
    EXPECT_EQ(parser.versionText(), "halvane-kdb \n");
}

TEST(Parser, HelpTextAlignsDescriptions)
{
    StdCommandLineParser parser;
    parser.applicationDescription = "Tool.";
    parser.setApplicationVersion({1, 2});
    parser.addHelpOption();
    parser.addOption(StdCommandLineOption({"p", "port"}, "The port", "port", "1"));
    parser.addOption(StdCommandLineOption({"quiet"}));
    const char *argv[] = {"./tool"};
    ASSERT_TRUE(parser.parse(1, argv));
    EXPECT_EQ(parser.helpText(),
              "tool 1.2\n"
              "Usage: ./tool [options]\n"
              "Tool.\n"
              "Options:\n"
              " -h, --help       \tDisplays help on commandline options.\n"
              " -p, --port <port>\tThe port\n"
              " --quiet\n");
    parser.applicationEpilog = "Bye.";
    EXPECT_EQ(parser.helpText().substr(parser.helpText().size() - 7), "\n\nBye.\n");
}

TEST(Option, NamesAndHelpForm)
{
    StdCommandLineOption port({"p", "port"}, "", "port");
    EXPECT_EQ(port.name(), "port");
    EXPECT_EQ(port.helpOpts(), "-p, --port <port>");
    StdCommandLineOption shortOnly({"d", "x"});
    EXPECT_EQ(shortOnly.name(), "d");
    EXPECT_EQ(shortOnly.helpOpts(), "-d, -x");
    EXPECT_EQ(StdCommandLineOption({}).name(), "");
    EXPECT_EQ(StdCommandLineOption({"no-core"}).helpOpts(), "--no-core");
}

TEST(Option, EqualityAndOrder)
{
    StdCommandLineOption none({});
    StdCommandLineOption a({"a", "all"});
    StdCommandLineOption ab({"ab"});
    StdCommandLineOption b({"b"});
    EXPECT_TRUE(a == StdCommandLineOption({"a", "all"}, "other description"));
    EXPECT_FALSE(a == StdCommandLineOption({"a"}));
    EXPECT_FALSE(a == StdCommandLineOption({"all", "a"}));
    EXPECT_TRUE(none < a);
    EXPECT_FALSE(a < none);
    EXPECT_FALSE(none < none);
    EXPECT_TRUE(a < ab);
    EXPECT_TRUE(ab < b);
    EXPECT_FALSE(a < StdCommandLineOption({"a", "zzz"}));
    EXPECT_TRUE(StdCommandLineOption({"Z"}) < StdCommandLineOption({"\xe4"}));
}

// Help and version write to standard output and end the process; the death
// test child sends standard output to standard error, where the test can
// compare it.
struct ExitCase {
    std::vector<std::string> args;
    bool help;
};

class BuiltInExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(BuiltInExit, PrintsItsTextAndEndsWithStatusZero)
{
    StdCommandLineParser parser;
    declareOptions(parser);
    ASSERT_TRUE(parseArgs(parser, {}));
    const std::string expected = GetParam().help ? parser.helpText() : parser.versionText();
    EXPECT_EXIT(
        {
            std::fflush(stdout);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            parseArgs(parser, GetParam().args);
        },
        ::testing::ExitedWithCode(0), ::testing::Eq(expected));
}

INSTANTIATE_TEST_SUITE_P(Table, BuiltInExit, ::testing::Values(
    ExitCase{{"--help"}, true},
    ExitCase{{"-d", "-h", "--bogus"}, true},
    ExitCase{{"-hv"}, true},
    ExitCase{{"-vh"}, false},
    ExitCase{{"img", "--version"}, false},
    ExitCase{{"-dv"}, false}));

TEST(Parser, HelpTextListsTheDeclaredOptions)
{
    StdCommandLineParser parser;
    declareOptions(parser);
    ASSERT_TRUE(parseArgs(parser, {}));
    const std::string help = parser.helpText();
    EXPECT_EQ(help.find(std::string("halvane-kdb 0.5.0 ") + kNotice + "\nUsage: ./halvane-kdb [options]\n"
                        "Kolm Debugger (halvane).\nOptions:\n -v, --version  "),
              0u);
    EXPECT_NE(help.find("\n -h, --help  "), std::string::npos);
    EXPECT_NE(help.find("\n -p, --port <port>  \tPort\n"), std::string::npos);
    EXPECT_NE(help.find("\n -o, --output <file>\tOutput\n"), std::string::npos);
    const std::string tail = " --verbose          \tVerbose output.\n\nHome: kolm.example\n";
    EXPECT_EQ(help.substr(help.size() - tail.size()), tail);
}

} // namespace
