// Builtin and special functions: their signature tables and the matching
// of call arguments against signatures.

#include "kolm_gen_context.h"
#include "kolm_node.h"
#include "kolm_opcodes.h"

using namespace kolm_isa;

namespace {

constexpr int N = KolmGenContext::ArgNumber;
constexpr int S = KolmGenContext::ArgLiteral;
constexpr int A = KolmGenContext::ArgStaticArray;
constexpr int I = KolmGenContext::ArgIdentifier;

const int kNNN[] = {N, N, N};
const int kNSN[] = {N, S, N};
const int kSNN[] = {S, N, N};
const int kSSN[] = {S, S, N};
const int kNN[] = {N, N};
const int kNS[] = {N, S};
const int kANN[] = {A, N, N};
const int kASN[] = {A, S, N};
const int kAN[] = {A, N};
const int kN[] = {N};
const int kNI[] = {N, I};
const int kI[] = {I};
const int kNone[] = {0}; // an empty overload; a null pointer ends the list

const _kolm_builtin_args kMemcpy[] = {{OP_mcp, 3, kNNN}, {OP_mcp, 3, kNSN}, {0, 0, nullptr}};
const _kolm_builtin_args kMemcmp[] = {
    {OP_mcm, 3, kNNN}, {OP_mcm, 3, kNSN}, {OP_mcm, 3, kSNN}, {OP_mcm, 3, kSSN}, {0, 0, nullptr}};
const _kolm_builtin_args kMemset[] = {{OP_mes, 3, kNNN}, {0, 0, nullptr}};
const _kolm_builtin_args kStoi[] = {{OP_scf, 2, kNN}, {0, 0, nullptr}};
const _kolm_builtin_args kSprintf[] = {{OP_spf, 2, kNS}, {0, 0, nullptr}};
const _kolm_builtin_args kContains[] = {{OP_min, 3, kANN}, {OP_min, 3, kASN}, {OP_vin, 2, kAN}, {0, 0, nullptr}};
const _kolm_builtin_args kDelay[] = {{OP_dly, 1, kN}, {0, 0, nullptr}};
const _kolm_builtin_args kSleep[] = {{OP_slp, 1, kN}, {0, 0, nullptr}};
const _kolm_builtin_args kTimer[] = {{OP_tim, 2, kNI}, {0, 0, nullptr}};
const _kolm_builtin_args kTstop[] = {{OP_tis, 1, kI}, {0, 0, nullptr}};
const _kolm_builtin_args kResume[] = {{OP_wak, 0, kNone}, {0, 0, nullptr}};
const _kolm_builtin_args kHalt[] = {{OP_halt, 0, kNone}, {0, 0, nullptr}};
const _kolm_builtin_args kNop[] = {{OP_nop, 0, kNone}, {0, 0, nullptr}};
const _kolm_builtin_args kDisableIrq[] = {{OP_irqd, 0, kNone}, {OP_irqd, 0, kNone}, {0, 0, nullptr}};
const _kolm_builtin_args kEnableIrq[] = {{OP_irqe, 0, kNone}, {OP_irqe, 0, kNone}, {0, 0, nullptr}};

const _kolm_builtin_args kAck[] = {{0, 1, kN}, {0, 0, nullptr}};
const _kolm_builtin_args kExti[] = {{0, 2, kNN}, {0, 0, nullptr}};
const _kolm_builtin_args kMsg[] = {{0, 0, kNone}, {0, 0, nullptr}};
const _kolm_builtin_args kSegv[] = {{0, 3, kNNN}, {0, 0, nullptr}};
const _kolm_builtin_args kMain[] = {{0, 0, kNone}, {0, 0, nullptr}};

const _kolm_builtin_args *findDescr(const _kolm_function_descr *table, const std::string &name)
{
    for (; table->name; ++table)
        if (name == table->name)
            return table->overloads;
    return nullptr;
}

bool isEnd(const _kolm_builtin_args &overload)
{
    return overload.opcode == 0 && overload.count == 0 && overload.args == nullptr;
}

bool kindAccepted(int expected, int actual)
{
    return actual == expected || (expected == N && actual == I);
}

} // namespace

const _kolm_function_descr g_kolm_internal_funcs[] = {
    {"memcpy", kMemcpy}, {"memcmp", kMemcmp},   {"memset", kMemset}, {"stoi", kStoi},
    {"sprintf", kSprintf}, {"contains", kContains}, {"delay", kDelay}, {"sleep", kSleep},
    {"timer", kTimer},   {"tstop", kTstop},     {"resume", kResume}, {"halt", kHalt},
    {"nop", kNop},       {"__disable_irq", kDisableIrq}, {"__enable_irq", kEnableIrq},
    {nullptr, nullptr},
};

const _kolm_function_descr g_kolm_fixed_funcs[] = {
    {"_ack", kAck}, {"_exti", kExti}, {"_msg", kMsg}, {"_segv", kSegv}, {"main", kMain}, {nullptr, nullptr},
};

const _kolm_builtin_args *KolmGenContext::internalFunctionDescr(const std::string &name)
{
    return findDescr(g_kolm_internal_funcs, name);
}

const _kolm_builtin_args *KolmGenContext::specialFunctionDescr(const std::string &name)
{
    return findDescr(g_kolm_fixed_funcs, name);
}

bool KolmGenContext::builtinSignatureMatched(const _kolm_builtin_args &overload, const std::vector<int> &kinds,
                                             std::string *error)
{
    if (overload.count != kinds.size()) {
        if (error)
            *error += "\nnote: candidate signature not viable: expected " + std::to_string(overload.count) +
                      " arguments, provided " + std::to_string(kinds.size()) + "; ";
        return false;
    }
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (kindAccepted(overload.args[i], kinds[i]))
            continue;
        if (error)
            *error += "\nnote: candidate signature not viable: expected '" + KolmNode::typeName(overload.args[i]) +
                      "' but argument is of type '" + KolmNode::typeName(kinds[i]) + " (at " +
                      std::to_string(i + 1) + "); ";
        return false;
    }
    return true;
}

bool KolmGenContext::signatureMatched(const std::string &name, const FunctionEntry &entry,
                                      const std::vector<int> &kinds, std::string *error)
{
    if (entry.kinds.size() != kinds.size()) {
        if (error)
            *error += std::string("too ") + (kinds.size() < entry.kinds.size() ? "few" : "many") +
                      " arguments to function '" + name + "'; note: expected " + std::to_string(entry.kinds.size()) +
                      " arguments, provided " + std::to_string(kinds.size());
        return false;
    }
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (entry.kinds[i] != N || kinds[i] == N || kinds[i] == I)
            continue;
        if (error)
            *error += "\nnote: candidate signature not viable: expected '" + KolmNode::typeName(entry.kinds[i]) +
                      "' but argument is of type '" + KolmNode::typeName(kinds[i]) + " (at " +
                      std::to_string(i + 1) + ")";
        return false;
    }
    return true;
}

bool KolmGenContext::checkSignature(const std::string &name, const std::vector<int> &kinds) const
{
    if (const _kolm_builtin_args *overloads = specialFunctionDescr(name)) {
        for (; !isEnd(*overloads); ++overloads)
            if (builtinSignatureMatched(*overloads, kinds, nullptr))
                return true;
        return false;
    }
    const FunctionEntry *entry = function(name);
    return entry && signatureMatched(name, *entry, kinds, nullptr);
}

// Writes a builtin call: its opcode, then the rewind of its arguments.
// sprintf takes a buffer, a format and any number of further arguments.
bool KolmGenContext::functionCall(const std::string &name, const std::vector<int> &kinds, std::ostream *out,
                                  std::string &error)
{
    if (isKeyword(name)) {
        error = "cannot call " + name + " - is a keyword";
        return false;
    }
    if (name == "main") {
        error = "main cannot be called explicitly";
        return false;
    }
    if (const _kolm_builtin_args *overloads = internalFunctionDescr(name)) {
        error.clear();
        if (name == "sprintf") {
            bool ok = kinds.size() >= 2 && kindAccepted(N, kinds[0]);
            for (size_t i = 1; ok && i < kinds.size(); ++i)
                ok = kindAccepted(N, kinds[i]) || kinds[i] == S;
            if (!ok || kinds.size() > 255) {
                error = "none of the builtin function signatures matched for " + name;
                return false;
            }
            write_instr(OP_spf, {}, out);
            write_stack_rewind(uint8_t(kinds.size()), out);
            shrinkFrame(unsigned(kinds.size()));
            return endFunctionCall(name, out);
        }
        std::string notes;
        for (; !isEnd(*overloads); ++overloads) {
            if (!builtinSignatureMatched(*overloads, kinds, &notes))
                continue;
            write_instr(overloads->opcode, {}, out);
            if (overloads->count) {
                write_stack_rewind(overloads->count, out);
                shrinkFrame(overloads->count);
            }
            return endFunctionCall(name, out);
        }
        error = "none of the builtin function signatures matched for " + name + "; " + notes;
        return false;
    }
    if (const _kolm_builtin_args *overloads = specialFunctionDescr(name)) {
        error.clear();
        std::string notes;
        for (; !isEnd(*overloads); ++overloads) {
            if (!builtinSignatureMatched(*overloads, kinds, &notes))
                continue;
            callFunction(name, overloads->count, out);
            return endFunctionCall(name, out);
        }
        error = "none of the special function signatures matched; " + notes;
        return false;
    }
    const FunctionEntry *entry = function(name);
    if (!entry) {
        error = "implicit declaration of function " + name;
        return false;
    }
    error.clear();
    if (!signatureMatched(name, *entry, kinds, &error))
        return false;
    callFunction(name, uint8_t(kinds.size()), out);
    return endFunctionCall(name, out);
}
