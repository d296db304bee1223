#include "kdb_options.h"

#include "kolm_dbg.h"

const std::vector<int> ZUVM_VERSION = {0, 5, 0};

void kdb_declare_options(StdCommandLineParser &parser)
{
    parser.applicationDescription = "Kolm Debugger (halvane).";
    parser.applicationNotice = "(c) the Kolm developers";
    parser.applicationEpilog = "Home page: https://kolm.dev";
    parser.setApplicationVersion(ZUVM_VERSION);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(StdCommandLineOption({"d", "disassembler"}, "Run in disassembler mode."));
    parser.addOption(StdCommandLineOption({"j", "json"}, "Format disassembler output as a JSON document"));
    parser.addOption(StdCommandLineOption({"x", "xml"}, "Format disassembler output as a XML document"));
    parser.addOption(StdCommandLineOption({"o", "output"}, "Print program output to <file> instead of stderr",
                                          "file", ""));
    parser.addOption(StdCommandLineOption({"g", "server"}, "Run in gdbserver mode"));
    parser.addOption(StdCommandLineOption({"e", "emulator"}, "Run in emulator mode"));
    parser.addOption(StdCommandLineOption({"p", "port"}, "Server/emulator port (default: 5542)", "port", "5542"));
    parser.addOption(StdCommandLineOption({"l", "level"}, "Log verbosity level (error*/warn/info)", "level",
                                          "error"));
    parser.addOption(StdCommandLineOption({"no-core"}, "Do not log core-specific messages"));
    parser.addOption(StdCommandLineOption({"log-hal"}, "Log hal specific messages"));
    parser.addOption(StdCommandLineOption({"log-emu"}, "Log emulator specific messages"));
    parser.addOption(StdCommandLineOption({"log-net"}, "Log network specific messages"));
    parser.addOption(StdCommandLineOption({"verbose"}, "Verbose output."));
}

uint32_t kdb_level_word(const StdCommandLineParser &parser)
{
    const std::string level = parser.value("level");
    uint32_t word = KOLM_LOG_ERROR;
    if (level == "warn")
        word = KOLM_LOG_WARNING;
    else if (level == "info")
        word = KOLM_LOG_INFO;
    word |= KOLM_LOG_SYS;
    if (parser.isSet("log-hal"))
        word |= KOLM_LOG_HAL;
    if (parser.isSet("log-emu"))
        word |= KOLM_LOG_EMU;
    if (parser.isSet("log-net"))
        word |= KOLM_LOG_NET;
    if (!parser.isSet("no-core"))
        word |= KOLM_LOG_CORE;
    return word;
}
