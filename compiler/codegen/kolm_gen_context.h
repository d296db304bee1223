#ifndef KOLM_GEN_CONTEXT_H
#define KOLM_GEN_CONTEXT_H

// The code generator: the state of one compilation. The syntax tree calls it
// for every instruction, variable, function, jump, switch table and piece of
// static data; it writes the bytecode image into the caller's stream (header
// first, code as it is generated, sections and fix-ups at the end).
//
// Every jump and call target is an absolute position in the image stream.
// The stream must be seekable: placeholders are patched by seeking back.
// Folds may shorten code already written; finalize cuts a string stream to
// the end of the image, so building into a std::stringstream and writing
// its text to the file once is the safe way to produce an image file.
//
// One build: construct; addIncludePath, addDefine, optimizeLevel,
// setBoardPackage; begin(out, debug, false); then, in source order,
// declareVariable for globals and for each function declareFunction, the
// body's code (emitters, variables, calls, control flow), and
// endFunctionImplementation; finally finalize(mainFile, out, error), after
// which textSize, dataSize and bssSize hold the sizes.

#include "kolm_board_package.h"
#include "kolm_image_format.h"

#include <cstdint>
#include <deque>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class KolmNode;

// One operand of write_instr. kind: 0 raw bytes (size bytes from `bytes`),
// 1 u8, 2 u16, 3 u32 (from `value`).
struct _bc_param {
    uint32_t kind;
    uint32_t size;
    uint32_t value;
    const void *bytes;
};

// One overload of a builtin or special function; a list ends with an entry
// whose fields are all zero.
struct _kolm_builtin_args {
    uint8_t opcode;
    uint8_t count;
    const int *args;
};

// One named builtin or special function with its overloads; a table ends
// with a null name.
struct _kolm_function_descr {
    const char *name;
    const _kolm_builtin_args *overloads;
};

extern const char *const g_kolm_keywords[];
extern const _kolm_function_descr g_kolm_internal_funcs[];
extern const _kolm_function_descr g_kolm_fixed_funcs[];

// Sizes of a built image: code, data section, global variable area.
struct KolmBinarySize {
    uint32_t text = 0;
    uint32_t data = 0;
    uint32_t bss = 0;
    std::string print(bool table) const;
};

class KolmGenContext
{
public:
    // Argument kinds of signatures: node type codes of the syntax tree.
    enum ArgKind { ArgNumber = 11, ArgIdentifier = 12, ArgLiteral = 17, ArgStaticArray = 26 };

    struct DataString {
        uint32_t offset;
        uint32_t length;
    };
    struct DataArray {
        uint32_t offset;
        uint8_t count;
        bool numbers;
    };
    struct FunctionEntry {
        uint32_t entry; // kUnresolved while only declared
        std::vector<int> kinds;
    };
    struct FixUp {
        uint32_t offset;
        uint8_t value;
    };
    struct CodeBlock {
        uint8_t savedLocalCount = 0;
        std::map<int, uint8_t> savedRegisters;
        std::unordered_set<std::string> names;
    };
    struct IfElseStatement {
        uint32_t start = 0;
        uint32_t thenExitJump = 0;
        uint32_t elseStart = 0;
        uint32_t targetsBeforeElse = 0; // jump targets recorded up to the else start
    };
    struct LoopContext {
        uint32_t start = 0;
        uint8_t localCount = 0;
        bool continueTargetSet = false;
        uint32_t continueTarget = 0;
        std::vector<uint32_t> breakJumps;
        std::vector<uint32_t> conditionJumps;
        std::vector<uint32_t> continueJumps;
    };
    struct SwitchContext {
        uint32_t headJump = 0;
        uint32_t table = 0;
        uint32_t head = 0;
        std::unordered_map<uint32_t, uint32_t> branches;
        std::vector<uint32_t> breaks;
        uint32_t defaultPosition = 0;
        uint8_t localCount = 0;
    };
    struct Label {
        uint32_t position;
        uint8_t localCount;
    };
    struct GotoForwaredDeclaration {
        std::string label;
        uint32_t position;
        uint8_t localCount;
        std::string where;
    };
    // One open function body. localCount is the number of words of the
    // frame in use: parameters and frame words, locals, saved registers,
    // call frames and arguments being pushed. It is the slot of the next word.
    struct FunctionContext {
        std::string name;
        uint8_t localCount = 0;
        std::unordered_map<std::string, uint8_t> locals; // parameters included
        std::unordered_map<std::string, Label> labels;
        std::vector<GotoForwaredDeclaration> gotos;
        std::vector<LoopContext> loops;
        std::vector<SwitchContext> switches;
        std::vector<CodeBlock> blocks;
        std::vector<IfElseStatement> ifElse;
        std::vector<uint32_t> exitJumps;
        std::vector<bool> breakTargets; // open loops (false) and switches (true), innermost last
    };
    struct DebugContext {
        const KolmNode *node;
        uint32_t codeStart;
    };
    struct DebugEntry {
        std::string file;
        uint32_t firstLine;
        uint32_t firstColumn;
        uint32_t lastLine;
        uint32_t lastColumn;
        uint32_t codeStart;
        uint32_t codeEnd;
    };

    static constexpr uint32_t kUnresolved = 0xFFFFFFFFu;
    static constexpr uint32_t kHeaderSize = kolm_image::kHeaderSize;
    static constexpr uint16_t kLanguageRevision = kolm_image::kLanguageRevision;

    KolmGenContext();
    ~KolmGenContext();
    KolmGenContext(const KolmGenContext &) = delete;
    KolmGenContext &operator=(const KolmGenContext &) = delete;

    // Set-up, defines and include search.
    bool addDefine(const std::string &name, const std::string &value, std::string *message = nullptr);
    void removeDefine(const std::string &name);
    const std::map<std::string, std::string> &definesMap() const { return m_defines; }
    static bool isKeyword(const std::string &name);
    static bool isInternalFunction(const std::string &name);
    static bool isSpecialFunction(const std::string &name);
    static std::string cwd();
    void addIncludePath(const std::string &dir);
    const std::vector<std::string> &includePaths() const { return m_includeDirs; }
    std::string locate(const std::string &name, const std::string &includer, bool system) const;
    // Includes from memory, name to text, for the fuzzer: when set, locate
    // finds only these names and nothing is read from the file system.
    void setIncludeFiles(const std::map<std::string, std::string> *files) { m_includeFiles = files; }
    // The text of an include from memory; null when reading from files.
    const std::string *includeText(const std::string &path) const;

    // The sources of one build: the main file and every include, once per
    // time it is included, with their preprocessed text. An include
    // fan-out (each file including the next twice) doubles with every
    // level; these bounds refuse it long before it exhausts time or memory.
    static constexpr size_t kMaxSourceBytes = size_t(16) << 20;
    static constexpr size_t kMaxSourceFiles = 4096;
    // Whether one more file, and `bytes` more preprocessed text than
    // counted so far, stay within the bounds.
    bool sourceFits(size_t files, size_t bytes) const
    {
        return m_sourceFiles + files <= kMaxSourceFiles && m_sourceBytes + bytes <= kMaxSourceBytes;
    }
    // Counts one preprocessed file of `bytes`.
    void countSource(size_t bytes)
    {
        ++m_sourceFiles;
        m_sourceBytes += bytes;
    }
    void setBoardPackage(const KolmBoardPackageParser *bsp);
    bool loadBoardPackage(const std::string &path, std::string &error);
    void dumpBoardPackage(std::ostream &out) const;
    const KolmBoardPackageParser &boardPackage() const;

    // Instruction emitters: write at the stream's current position.
    void write_instr(uint8_t opcode, const std::vector<_bc_param> &params, std::ostream *out) const;
    void write_cpy(uint8_t dst, uint8_t src, std::ostream *out) const;
    void write_sto(uint8_t reg, uint32_t value, std::ostream *out) const;
    void write_goto(uint32_t target, std::ostream *out) const;
    void write_call(uint32_t target, uint8_t frameSize, std::ostream *out) const;
    void write_jmp(uint32_t ifTrue, uint32_t ifFalse, std::ostream *out) const;
    void write_jmp_next(uint32_t target, std::ostream *out) const;
    void write_jmp_out(uint32_t target, std::ostream *out) const;
    void write_push_stack_i(uint32_t value, std::ostream *out) const;
    void write_push_stack_r(uint8_t reg, std::ostream *out) const;
    void write_stack_rewind(uint8_t count, std::ostream *out) const;
    void write_set_stack_r(uint8_t slot, uint8_t reg, std::ostream *out) const;
    void write_pull_stack_r(uint8_t reg, uint8_t slot, std::ostream *out) const;
    void write_mem_read_u_i(uint8_t reg, uint32_t address, std::ostream *out) const;
    void write_mem_read_u_r(uint8_t reg, uint8_t addressReg, std::ostream *out) const;
    void write_mem_write_u_r(uint8_t addressReg, uint8_t valueReg, std::ostream *out) const;
    void write_mem_write_u_p(uint8_t valueReg, uint32_t address, std::ostream *out) const;
    void write_not(uint8_t opcode, uint8_t reg, std::ostream *out) const;
    void write_math_val(uint8_t opcode, uint8_t reg, uint32_t value, std::ostream *out) const;
    void write_cmp(uint8_t opcode, uint8_t regY, uint8_t regX, std::ostream *out) const;
    void write_math(uint8_t opcode, uint8_t regY, uint8_t regX, std::ostream *out) const;
    bool pushFunctionParameter(uint32_t value, std::ostream *out);
    bool pushFunctionRegParameter(uint8_t reg, std::ostream *out, bool allowFold);

    // Static data.
    uint32_t placeLiteral(const std::string &quoted);
    bool placeNumberArray(const std::string &name, const std::vector<uint32_t> &values, std::string &message);
    bool placeStringArray(const std::string &name, const std::vector<uint32_t> &addresses, std::string &message);
    std::string dataString(uint32_t address, uint32_t length) const;
    const DataArray *staticArray(const std::string &name) const; // null when not a static array
    bool staticArrayIsNumbers(const std::string &name) const;
    uint32_t staticArraySize(const std::string &name) const;
    uint32_t staticArrayValue(const std::string &name, uint32_t index) const;
    bool staticArrayContains(const std::string &name, uint32_t number) const;
    bool staticArrayContains(const std::string &name, const std::string &quoted) const;

    // Registers, scopes and variables.
    bool aquireRegister(uint8_t *reg, std::ostream *out);
    bool aquireRegisterAndCopy(uint8_t *reg, uint8_t source, std::ostream *out);
    void releaseRegister(uint8_t reg, std::ostream *out);
    bool startBlock();
    bool endBlock(std::ostream *out);
    bool declareVariable(const std::string &name, uint32_t value, std::ostream *out);
    bool variableDeclared(const std::string &name) const;
    bool pullVariable(const std::string &name, std::ostream *out, std::string &message);
    bool assignVariable(const std::string &name, uint8_t source, std::ostream *out);
    bool variableDereference(const std::string &name, std::ostream *out, std::string &message);
    bool pullVariableAddress(const std::string &name, bool value, std::ostream *out, std::string &message,
                             uint8_t destination);
    bool variableMath(const std::string &name, uint8_t opcode, uint8_t source, std::ostream *out,
                      std::string &message);
    bool pointerMath(uint8_t addressReg, uint8_t valueReg, uint8_t opcode, std::ostream *out, std::string &message);
    uint32_t peripheryAddress(const std::string &peripheral) const;
    uint32_t peripheryAddress(const std::string &peripheral, const std::string &reg) const;
    uint32_t peripheryAccess(const std::string &peripheral, const std::string &reg) const;
    uint32_t globalAddress(const std::string &name) const; // 0 when not a global
    std::string initCode() const { return m_initStream.str(); }

    // Functions, calls and builtins.
    bool declareFunction(const std::string &name, const std::vector<std::string> &names,
                         const std::vector<int> &kinds, bool forward, std::ostream *out, std::string &error);
    bool functionDeclared(const std::string &name) const;
    bool functionForwardDeclared(const std::string &name) const;
    bool checkSignature(const std::string &name, const std::vector<int> &kinds) const;
    bool beginFunctionCall(const std::string &name, std::ostream *out, std::string &error);
    bool functionCall(const std::string &name, const std::vector<int> &kinds, std::ostream *out, std::string &error);
    void callFunction(const std::string &name, uint8_t count, std::ostream *out);
    bool endFunctionCall(const std::string &name, std::ostream *out);
    bool pullFunctionAddress(const std::string &name, std::ostream *out);
    bool functionExit(std::ostream *out);
    // A goto to a label that the function does not declare fails here;
    // `where`, when given, receives the location that the goto was made
    // with.
    bool endFunctionImplementation(std::ostream *out, std::string &error, std::string *where = nullptr);
    static const _kolm_builtin_args *internalFunctionDescr(const std::string &name);
    static const _kolm_builtin_args *specialFunctionDescr(const std::string &name);
    static bool builtinSignatureMatched(const _kolm_builtin_args &overload, const std::vector<int> &kinds,
                                        std::string *error);
    static bool signatureMatched(const std::string &name, const FunctionEntry &entry, const std::vector<int> &kinds,
                                 std::string *error);
    const FunctionEntry *function(const std::string &name) const;
    const FunctionContext *currentFunction() const;

    // Conditionals, loops and labels. A loop's continue target is its start
    // until setLoopContinue marks another place (the step of a `for`, the
    // condition of a `do`-`while`); loopRepeat is the loop's own jump back
    // to its start.
    bool startIfElse(std::ostream *out);
    void startElseBranch(std::ostream *out);
    void endIfElse(std::ostream *out);
    bool startLoop(std::ostream *out);
    void startLoopCondition(std::ostream *out);
    void endLoopCondition(std::ostream *out);
    bool setLoopContinue(std::ostream *out);
    bool loopContinue(std::ostream *out, std::string &message);
    bool loopRepeat(std::ostream *out, std::string &message);
    bool loopBreak(std::ostream *out, std::string &message);
    bool endLoop(std::ostream *out);
    bool declareLabel(const std::string &name, std::ostream *out);
    bool labelDeclared(const std::string &name) const;
    // `where`: the goto's location, kept for the message of a label that
    // the function never declares.
    bool gotoLabel(const std::string &name, std::ostream *out, std::string &message,
                   const std::string &where = std::string());

    // Switch lowering.
    bool startSwitch(std::ostream *out);
    bool startSwitchBranch(uint32_t value, std::ostream *out);
    bool startSwitchDefault(std::ostream *out);
    bool endSwitchDefault(std::ostream *out);
    bool makeSwitchDefault(std::ostream *out);
    bool compileSwitchTable(std::ostream *out, std::string &message);
    bool compilePackedSwitchHead(uint32_t lowest, uint32_t highest, std::ostream *out, std::string &message);
    bool compileSparseSwitchTable(std::ostream *out, std::string &message);
    bool endSwitch(std::ostream *out);

    // Debug information.
    void beginNodeCompile(const KolmNode *node, std::ostream *out);
    bool endNodeCompile(const KolmNode *node, std::ostream *out, std::string &error);
    const std::vector<DebugEntry> &debugEntries() const { return m_debugEntries; }

    // The image: header, then code through the calls above, then finalize.
    bool begin(std::ostream *out, bool debug, bool flag2);
    bool finalize(const std::string &mainFile, std::ostream *out, std::string &error);

    int optimizeLevel = 0;
    bool debugInfo = false;
    uint32_t textSize = 0;
    uint32_t dataSize = 0;
    uint32_t bssSize = 0;

private:
    // One instruction written: where, into which stream, and its operands.
    struct WrittenInstr {
        const std::ostream *stream;
        uint32_t position;
        uint8_t opcode;
        std::vector<_bc_param> params;
        uint32_t length;
    };

    FunctionContext *current();
    void setEntry(const std::string &name, uint32_t entry);
    const WrittenInstr *foldableInstr(const std::ostream *out) const;
    void dropLastInstr() const;
    void markJumpTarget(uint32_t position) const;
    void rewindDebugInfo(uint32_t position);
    void patchGoto(uint32_t at, uint32_t target, std::ostream *out) const;
    void patchJmpNext(uint32_t at, uint32_t target, std::ostream *out) const;
    bool growFrame(unsigned words);
    void shrinkFrame(unsigned words);
    bool dropWordsTo(uint8_t localCount, std::ostream *out);
    bool breakIntoSwitch() const;
    SwitchContext *openSwitch();
    SwitchContext *startSwitchHead(uint8_t *t, std::ostream *out, std::string &message);
    bool writeSections(const std::string &mainFile, std::ostream *out, std::string &error);
    bool applyFixUps(std::ostream *out, std::string &error);
    bool writeDebugSection(const std::string &mainFile, std::ostream *out);
    bool trimToEnd(std::ostream *out, std::string &error);

    std::unordered_map<std::string, DataString> m_literals;
    std::vector<std::string> m_literalOrder;
    std::unordered_map<std::string, DataArray> m_arrays;
    std::vector<std::string> m_arrayOrder;
    std::string m_data;
    std::unordered_set<unsigned> m_busyRegisters;
    KolmBoardPackageParser m_defaultPackage;
    const KolmBoardPackageParser *m_package = nullptr;
    std::vector<std::string> m_includeDirs;
    const std::map<std::string, std::string> *m_includeFiles = nullptr;
    size_t m_sourceFiles = 0;
    size_t m_sourceBytes = 0;
    std::map<std::string, std::string> m_defines;
    std::unordered_map<std::string, FunctionEntry> m_functions;
    std::unordered_map<std::string, uint32_t> m_globals;
    std::ostringstream m_initStream;
    std::map<std::string, std::vector<FixUp>> m_callFixUps;
    std::map<std::string, std::vector<FixUp>> m_addressFixUps;
    mutable std::deque<WrittenInstr> m_history;
    mutable uint32_t m_jumpTargetMark = 0;
    mutable uint32_t m_jumpTargetCount = 0;
    std::vector<FunctionContext> m_functionContexts;
    std::deque<DebugContext> m_debugContexts;
    std::vector<DebugEntry> m_debugEntries;
    uint32_t m_entries[6] = {0, 0, 0, 0, 0, 0};
    uint16_t m_imageFlags = 0;
};

#endif
