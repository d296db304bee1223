#include "kolm_source_image.h"

#include "console_printer.h"
#include "kolm_board_package.h"
#include "kolm_gen_context.h"
#include "lexer.h"

#include <sstream>

bool compileKolmSource(const std::string &source, const std::string &name, const std::string &boardPackage,
                       int level, std::string &image, std::string &diagnostics)
{
    std::ostringstream log;
    g_output_colorized = false;
    console_set_output(&log);
    KolmBoardPackageParser package;
    std::string message;
    bool ok = package.parse(boardPackage, &message);
    if (!ok) {
        message = boardPackage + ": " + message;
    } else {
        KolmGenContext context;
        context.optimizeLevel = level;
        context.setBoardPackage(&package);
        kolm::Compiler driver(&context);
        driver.defines = context.definesMap();
        std::stringstream out;
        ok = driver.parse_string(source, name) && driver.root &&
             driver.root->precompile(&context, driver.replace_ops) && context.begin(&out, false, false) &&
             driver.root->compile(&context, &out) && context.finalize(name, &out, message);
        if (ok)
            image = out.str();
    }
    console_set_output(nullptr);
    diagnostics = log.str() + (message.empty() ? "" : message + "\n");
    return ok;
}
