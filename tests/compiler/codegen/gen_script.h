#ifndef GEN_SCRIPT_H
#define GEN_SCRIPT_H

// Drives the code generator the way the syntax tree does, so that tests and
// benchmarks can build whole programs without the front end. Every
// expression leaves its value in r0. A call the generator refuses throws
// std::runtime_error with the generator's message.

#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <cstdint>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

class GenScript
{
public:
    using Code = std::function<void()>;

    static constexpr int N = KolmGenContext::ArgNumber;
    static constexpr int I = KolmGenContext::ArgIdentifier;
    static constexpr int S = KolmGenContext::ArgLiteral;
    static constexpr int A = KolmGenContext::ArgStaticArray;

    explicit GenScript(int level)
    {
        gen.optimizeLevel = level;
        gen.begin(&out, true, false);
    }

    // Throws with the generator's message when ok is false.
    void require(bool ok, const char *what) const
    {
        if (!ok)
            throw std::runtime_error(std::string(what) + ": " + error);
    }

    // Expressions.
    Code num(uint32_t value)
    {
        return [=] { gen.write_sto(kolm_isa::REG_EAX, value, &out); };
    }
    Code var(const std::string &name)
    {
        return [=] { require(gen.pullVariable(name, &out, error), "pullVariable"); };
    }
    Code literal(const std::string &text)
    {
        return [=] { gen.write_sto(kolm_isa::REG_EAX, gen.placeLiteral("\"" + text + "\""), &out); };
    }
    // r0 := left op right (ops 0x11..0x1A) or a compare (0x0B..0x0F).
    Code binary(uint8_t opcode, Code left, Code right)
    {
        return [=] {
            uint8_t r = 0;
            left();
            require(gen.aquireRegisterAndCopy(&r, kolm_isa::REG_EAX, &out), "aquireRegisterAndCopy");
            right();
            if (opcode >= kolm_isa::OP_cmp && opcode <= kolm_isa::OP_leq)
                gen.write_cmp(opcode, r, kolm_isa::REG_EAX, &out);
            else
                gen.write_math(opcode, r, kolm_isa::REG_EAX, &out);
            gen.releaseRegister(r, &out);
        };
    }
    // A call: arguments pushed last first, kinds in source order.
    Code call(const std::string &name, std::vector<Code> args, std::vector<int> kinds)
    {
        return [=] {
            require(gen.beginFunctionCall(name, &out, error), "beginFunctionCall");
            for (size_t i = args.size(); i-- > 0;) {
                args[i]();
                require(gen.pushFunctionRegParameter(kolm_isa::REG_EAX, &out, true), "pushFunctionRegParameter");
            }
            require(gen.functionCall(name, kinds, &out, error), "functionCall");
        };
    }

    // Statements.
    void assign(const std::string &name, Code value)
    {
        value();
        require(gen.assignVariable(name, kolm_isa::REG_EAX, &out), "assignVariable");
    }
    void local(const std::string &name, uint32_t value)
    {
        require(gen.declareVariable(name, value, &out), "declareVariable");
    }
    void ret(Code value)
    {
        value();
        require(gen.functionExit(&out), "functionExit");
    }
    void ifThen(Code condition, Code then)
    {
        condition();
        require(gen.startIfElse(&out), "startIfElse");
        then();
        gen.endIfElse(&out);
    }
    void ifElse(Code condition, Code then, Code otherwise)
    {
        condition();
        require(gen.startIfElse(&out), "startIfElse");
        then();
        gen.startElseBranch(&out);
        otherwise();
        gen.endIfElse(&out);
    }
    void label(const std::string &name) { require(gen.declareLabel(name, &out), "declareLabel"); }
    void jump(const std::string &name) { require(gen.gotoLabel(name, &out, error), "gotoLabel"); }
    void loopBreak() { require(gen.loopBreak(&out, error), "loopBreak"); }
    void loopContinue() { require(gen.loopContinue(&out, error), "loopContinue"); }
    void block(Code body)
    {
        require(gen.startBlock(), "startBlock");
        body();
        require(gen.endBlock(&out), "endBlock");
    }
    void whileLoop(Code condition, Code body)
    {
        require(gen.startLoop(&out), "startLoop");
        gen.startLoopCondition(&out);
        condition();
        gen.endLoopCondition(&out);
        body();
        require(gen.loopRepeat(&out, error), "loopRepeat");
        require(gen.endLoop(&out), "endLoop");
    }
    // for (declarations; condition; step) body
    void forLoop(Code declarations, Code condition, Code step, Code body)
    {
        require(gen.startBlock(), "startBlock");
        declarations();
        require(gen.startLoop(&out), "startLoop");
        gen.startLoopCondition(&out);
        condition();
        gen.endLoopCondition(&out);
        body();
        require(gen.setLoopContinue(&out), "setLoopContinue");
        step();
        require(gen.loopRepeat(&out, error), "loopRepeat");
        require(gen.endLoop(&out), "endLoop");
        require(gen.endBlock(&out), "endBlock");
    }
    void function(const std::string &name, const std::vector<std::string> &params, Code body)
    {
        require(gen.declareFunction(name, params, std::vector<int>(params.size(), N), false, &out, error),
                "declareFunction");
        block(body);
        require(gen.endFunctionImplementation(&out, error), "endFunctionImplementation");
    }

    std::string image()
    {
        require(gen.finalize("/p/main.kos", &out, error), "finalize");
        return out.str();
    }

    KolmGenContext gen;
    std::stringstream out;
    std::string error;
};

#endif
