#ifndef KOLM_EXPRESSION_HARNESS_H
#define KOLM_EXPRESSION_HARNESS_H

// Builds images from small Kolm sources through the front end's own
// precompile pass and expression code, for the expression tests. The
// sources hold functions whose bodies are constant declarations and
// expression statements, global constant declarations, static arrays,
// defines and includes; the harness lays out what the statement code would
// (globals, locals, arrays, function frames), and every function returns the
// value of its last expression. The code of each function's expressions is
// kept for listings, and images run on the emulator's virtual machine.

#include "ast.h"
#include "frontend_test_support.h"
#include "gen_test_support.h"
#include "kolm_board_package.h"
#include "kolm_gen_context.h"
#include "lexer.h"

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

class ExpressionHarness
{
public:
    // level: the optimisation level; withBoard: the emulator's board package.
    explicit ExpressionHarness(int level, bool withBoard = false)
    {
        gen.optimizeLevel = level;
        if (withBoard) {
            std::string message;
            EXPECT_TRUE(m_package.parse(std::string(KOLM_BSP_DIR) + "/Emulator.kbsp", &message)) << message;
            gen.setBoardPackage(&m_package);
        }
    }

    // Compiles the source into an image; false after any error.
    bool build(const std::string &source, const std::string &name = "main.kos")
    {
        const std::string path = dir.write(name, source);
        kolm::Compiler driver(&gen);
        driver.defines = gen.definesMap();
        const unsigned errors = console_error_count();
        if (!driver.parse_file(path) || !driver.root || !driver.root->precompile(&gen, driver.replace_ops))
            return false;
        if (!gen.begin(&out, true, false) || !compileStatements(driver.root->statements))
            return false;
        std::string message;
        if (!gen.finalize(path, &out, message)) {
            ADD_FAILURE() << message;
            return false;
        }
        image = out.str();
        return console_error_count() == errors;
    }

    // The code of a function's expressions, as "mnemonic operands" joined by "; ".
    std::string listing(const std::string &function = "main") const
    {
        const auto range = m_code.find(function);
        if (range == m_code.end())
            return "no function " + function;
        std::string text;
        for (const Decoded &instruction : decode(out.str(), range->second.first, range->second.second)) {
            const kolm_isa::OpcodeInfo &info = kolm_isa::opcodeInfo(instruction.opcode);
            text += text.empty() ? "" : "; ";
            text += info.mnemonic ? info.mnemonic : "?";
            text += operands(info.operands, instruction.operands);
        }
        return text;
    }

    // Runs the image on a fresh machine; the result is main's value.
    uint32_t run(uint32_t *stop = nullptr)
    {
        std::ostringstream log;
        kolm_hal_set_debug_stream(&log);
        kolm_hal_clear_timers();
        KOLM_VM = _KolmVM{};
        std::istringstream in(image);
        kolm_flash_read(in);
        EXPECT_EQ(kolm_vm_init(), 0u);
        const uint32_t result = kolm_vm_run();
        if (stop)
            *stop = result;
        else
            EXPECT_EQ(result, KOLM_STEP_HALT) << log.str();
        kolm_hal_set_debug_stream(nullptr);
        return kolm_vm_exit_code();
    }

    std::string diagnostics() const { return m_diagnostics.text(); }
    // The diagnostics with the scratch directory's path left out.
    std::string messages() const
    {
        std::string text = diagnostics();
        const std::string prefix = dir.path("");
        for (size_t at; (at = text.find(prefix)) != std::string::npos;)
            text.erase(at, prefix.size());
        return text;
    }

    ScratchDir dir;
    KolmGenContext gen;
    std::stringstream out;
    std::string image;

private:
    static std::string operands(kolm_isa::Operands layout, const Bytes &bytes)
    {
        using kolm_isa::Operands;
        const auto reg = [&](size_t at) { return " r" + std::to_string(bytes.at(at)); };
        const auto byte = [&](size_t at) { return " " + std::to_string(bytes.at(at)); };
        const auto word = [&](size_t at) {
            const uint32_t value = u32At(std::string(bytes.begin(), bytes.end()), at);
            std::ostringstream text;
            if (value < 0x10000)
                text << " " << value;
            else
                text << " 0x" << std::hex << std::uppercase << value;
            return text.str();
        };
        switch (layout) {
        case Operands::R: return reg(0);
        case Operands::RR: return reg(0) + "," + reg(1);
        case Operands::RI: return reg(0) + "," + word(1);
        case Operands::I: return word(0);
        case Operands::II: return word(0) + "," + word(4);
        case Operands::ID: return word(0) + "," + byte(4);
        case Operands::D: return byte(0);
        case Operands::DI: return byte(0) + "," + word(1);
        case Operands::DR: return byte(0) + "," + reg(1);
        case Operands::RD: return reg(0) + "," + byte(1);
        default: return "";
        }
    }

    // The value of a declaration: its constant initial value, 0 without one.
    uint32_t initialValue(const KolmVariableDeclaration &declaration)
    {
        if (!declaration.initialValue)
            return 0;
        EXPECT_TRUE(declaration.initialValue->isCompileTimeConstant(&gen)) << declaration.toString();
        return declaration.initialValue->compileTimeValue(&gen);
    }

    static const std::string &nameOf(const KolmExpression *name)
    {
        return static_cast<const KolmIdentifier *>(name)->name;
    }

    bool placeArray(const KolmStaticArray &array)
    {
        std::vector<uint32_t> values;
        bool strings = false;
        for (const KolmExpression *member : *array.members) {
            const auto *constant = static_cast<const KolmConstantExpression *>(member);
            if (const auto *literal = dynamic_cast<const KolmLiteral *>(constant->expression)) {
                strings = true;
                values.push_back(gen.placeLiteral(literal->text));
            } else {
                values.push_back(constant->compileTimeValue(&gen));
            }
        }
        std::string message;
        const bool placed = strings ? gen.placeStringArray(nameOf(array.name), values, message)
                                    : gen.placeNumberArray(nameOf(array.name), values, message);
        EXPECT_TRUE(placed) << message;
        return placed;
    }

    bool declare(const KolmStatement *statement)
    {
        if (const auto *array = dynamic_cast<const KolmStaticArray *>(statement))
            return placeArray(*array);
        const auto *variable = dynamic_cast<const KolmVariableDeclaration *>(statement);
        if (!variable) {
            ADD_FAILURE() << "not a declaration: " << statement->toString();
            return false;
        }
        return gen.declareVariable(nameOf(variable->name), initialValue(*variable), &out);
    }

    bool compileFunction(const KolmFunctionDeclaration &function)
    {
        std::vector<std::string> names;
        if (function.arguments)
            for (const KolmStatement *argument : *function.arguments)
                names.push_back(nameOf(static_cast<const KolmVariableDeclaration *>(argument)->name));
        const std::vector<int> kinds(names.size(), KolmGenContext::ArgNumber);
        std::string message;
        const std::string &name = nameOf(function.name);
        if (!gen.declareFunction(name, names, kinds, function.body == nullptr, &out, message)) {
            ADD_FAILURE() << message;
            return false;
        }
        if (!function.body)
            return true;
        const auto *body = static_cast<const KolmCompoundBlock *>(function.body);
        gen.startBlock();
        if (body->declarations)
            for (const KolmStatement *declaration : *body->declarations)
                if (!declare(declaration))
                    return false;
        const uint32_t start = pos(out);
        if (const auto *block = static_cast<const KolmBlock *>(body->statements))
            for (KolmStatement *statement : block->statements) {
                auto *expression = dynamic_cast<KolmExpressionStatement *>(statement);
                if (!expression) {
                    ADD_FAILURE() << "not an expression statement: " << statement->toString();
                    return false;
                }
                if (expression->expression && !expression->expression->compile(&gen, &out))
                    return false;
            }
        m_code[name] = {start, pos(out)};
        gen.functionExit(&out);
        gen.endBlock(&out);
        if (!gen.endFunctionImplementation(&out, message)) {
            ADD_FAILURE() << message;
            return false;
        }
        return true;
    }

    bool compileStatements(const KolmStatementList &statements)
    {
        for (const KolmStatement *statement : statements) {
            if (const auto *function = dynamic_cast<const KolmFunctionDeclaration *>(statement)) {
                if (!compileFunction(*function))
                    return false;
            } else if (const auto *globals = dynamic_cast<const KolmCompoundBlock *>(statement)) {
                for (const KolmStatement *declaration : *globals->declarations)
                    if (!declare(declaration))
                        return false;
            } else if (const auto *include = dynamic_cast<const KolmInclude *>(statement)) {
                if (!compileStatements(include->compiler->root->statements))
                    return false;
            }
        }
        return true;
    }

    KolmBoardPackageParser m_package;
    CapturedDiagnostics m_diagnostics;
    std::map<std::string, std::pair<uint32_t, uint32_t>> m_code;
};

#endif
