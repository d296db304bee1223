// halvane-kdb: runs a Kolm bytecode image on the simulated board or
// disassembles it.

#include "flash.h"
#include "kdb_emulator_mode.h"
#include "kdb_local_run.h"
#include "kdb_options.h"
#include "kdb_text_server.h"
#include "kolm_dbg.h"
#include "kolm_disasm.h"
#include "kolm_p.h"
#include "signalhandler.h"
#include "stl_helpers.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <list>
#include <string>

namespace {

// Exit statuses.
constexpr int kExitCommandLine = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitBadSize = 3;
constexpr int kExitUnwritable = 4;
constexpr int kExitInit = 5;
constexpr int kExitPort = 6;

// Interrupt and terminate.
constexpr int kHandledSignals = 0xE;
constexpr int kMaxPort = 65535;

// An image shorter than its header cannot be run or listed.
constexpr uint32_t kMinImageSize = 36;

// Hands the log back to standard error when the output stream goes.
struct LogStreamReset {
    ~LogStreamReset() { kolm_hal_set_debug_stream(nullptr); }
};

// Replaces the ROM with the stream's bytes; false when reading fails.
bool readRom(std::istream &in)
{
    try {
        kolm_flash_read(in);
        return !in.bad();
    } catch (const std::exception &) {
        kolm_rom_erase();
        return false;
    }
}

// The ROM holds one byte more than the largest image when the input was
// larger; it is refused without reading the rest.
bool tooLarge()
{
    if (kolm_rom_size() <= kolm_image::kMaxImageSize)
        return false;
    std::cerr << "Image too large" << std::endl;
    return true;
}

// Loads the image named on the command line, or standard input; 0 or an
// exit status. In emulator mode standard input is read only when asked
// for with "-": the image may come later over the link.
int loadImage(const std::string &name, bool emulator, bool verbose)
{
    if (!name.empty() && name != "-") {
        std::ifstream file(name, std::ios::binary);
        if (!file.is_open() || !readRom(file)) {
            std::cerr << "Input file " << name << " is not readable" << std::endl;
            return kExitUnreadable;
        }
        if (tooLarge())
            return kExitBadSize;
        if (verbose)
            std::cerr << "Input file size " << kolm_rom_size() << " bytes" << std::endl;
        if (kolm_rom_size() < kMinImageSize) {
            std::cerr << "File is invalid - at least " << kMinImageSize << " bytes expected" << std::endl;
            return kExitBadSize;
        }
        return 0;
    }
    if (emulator && name.empty())
        return 0;
    if (verbose)
        std::cerr << "Reading from stdin";
    const bool read = readRom(std::cin);
    if (read && tooLarge())
        return kExitBadSize;
    if (!read || kolm_rom_size() < kMinImageSize) {
        std::cerr << "Input is invalid - at least " << kMinImageSize << " bytes expected" << std::endl;
        return kExitBadSize;
    }
    return 0;
}

// A listing or log that could not be written whole (a full disk, a closed
// pipe) is a failure: 0, or the exit status after its message.
int checkWritten(std::ostream &out, const std::string &name)
{
    out.flush();
    if (out)
        return 0;
    std::cerr << "Cannot write to " << name << std::endl;
    return kExitUnwritable;
}

} // namespace

int main(int argc, char **argv)
{
    StdCommandLineParser parser;
    kdb_declare_options(parser);
    if (!parser.parse(argc, argv)) {
        std::cerr << parser.errorText << "\n";
        return kExitCommandLine;
    }
    kolm_hal_set_level(kdb_level_word(parser));
    const bool verbose = parser.isSet("verbose");
    const bool disassembler = parser.isSet("disassembler");
    const bool network = parser.isSet("emulator") || parser.isSet("server");

    const std::list<std::string> positional = parser.positionalArguments();
    const std::string imageName = positional.empty() ? std::string() : positional.front();
    if (int status = loadImage(imageName, parser.isSet("emulator"), verbose))
        return status;

    const std::string outputName = parser.value("output");
    std::ofstream outputFile;
    std::ostream *out = &std::cout;
    if (!outputName.empty() && outputName != "-") {
        outputFile.open(outputName, std::ios::binary | std::ios::trunc);
        if (!outputFile.is_open()) {
            std::cerr << "Cannot write to " << outputName << std::endl;
            return kExitUnwritable;
        }
        out = &outputFile;
    }
    const std::string outputDescription = out == &outputFile ? outputName : "standard output";
    const LogStreamReset logReset;
    if (!disassembler && !outputName.empty())
        kolm_hal_set_debug_stream(out);

    if (kolm_rom_size() > 0) {
        if (uint32_t code = kolm_vm_init()) {
            std::cerr << "Initialization failed with code " << code << std::endl;
            return kExitInit;
        }
    }

    if (disassembler) {
        // Only the emulator mode leaves the ROM empty: without an image
        // argument it waits for the image over the link.
        if (kolm_rom_size() == 0) {
            std::cerr << "No data" << std::endl;
            return kExitInit;
        }
        if (parser.isSet("json") && parser.isSet("xml")) {
            std::cerr << "JSON and XML options are mutually exclusive" << std::endl;
            return kExitCommandLine;
        }
        const OutputType format = parser.isSet("json")  ? OUTPUT_JSON
                                  : parser.isSet("xml") ? OUTPUT_XML
                                                        : OUTPUT_TEXT;
        // The version text joins ZUVM_VERSION with dots: "0.5.0".
        const AsmImage image{KOLM_VM.text_start, KOLM_VM.text_end, KOLM_VM.data_start, KOLM_VM.data_end,
                             KOLM_VM.table};
        asm_dismember(image, *out, format, parser.applicationVersion);
        return checkWritten(*out, outputDescription);
    }
    if (network) {
        const std::string portText = parser.value("port");
        bool ok = false;
        const int port = stl_helpers::toInt(portText, &ok, 0);
        if (!ok) {
            std::cerr << "invalid port " << portText << " - is not an integer\n";
            return kExitPort;
        }
        // A number that is no port would listen on another port than asked.
        if (port < 0 || port > kMaxPort) {
            std::cerr << "invalid port " << portText << " - out of range\n";
            return kExitPort;
        }
        SignalHandler::init(kHandledSignals);
        if (parser.isSet("server"))
            asm_exec_as_machine(port);
        else
            kdb_emulator_mode(port);
        kdb_final_report(verbose);
        return checkWritten(*out, outputDescription);
    }

    // With the image on standard input nothing is left there for the
    // console to read.
    const bool imageOnStdin = imageName.empty() || imageName == "-";
    kdb_local_run(*out, verbose, !imageOnStdin);
    kdb_final_report(verbose);
    return checkWritten(*out, outputDescription);
}
