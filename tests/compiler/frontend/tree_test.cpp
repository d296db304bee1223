// The syntax tree's nodes: type names, literal escapes, character
// constants, include names, text and XML forms, identifier replacement.

#include "ast.h"
#include "frontend_test_support.h"
#include "kolm_scanner.h"

#include <gtest/gtest.h>

namespace {

TEST(Tree, TypeNames)
{
    EXPECT_EQ(KolmNode::typeName(13), "unknown_type");
    EXPECT_EQ(KolmNode::typeName(14), "unknown_type");
    EXPECT_EQ(KolmNode::typeName(-1), "unknown_type");
    EXPECT_EQ(KolmNode::typeName(6), "ABI");
    EXPECT_EQ(KolmNode::typeName(20), "variable_assignement");
}

TEST(Tree, LiteralEscapes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\"A\\x41\\101\\n\"", "\"AAA\n\""},
        {"\"\\q\"", "\"\\q\""},
        {"\"\\x\"", "\"\\x\""},
        {"\"\\x414\"", "\"A4\""},
        {"\"\\400\"", std::string("\"\0\"", 3)},
        {"\"\\na\"", "\"\na\""},
        {"\"\\012\"", std::string("\"\0", 2) + "12\""},
        {"\"\\\"\\'\\\\\\a\\b\\f\\r\\t\\v\"", "\"\"'\\\a\b\f\r\t\v\""},
        {"\"end\\", "\"end\\"},
    };
    for (const auto &c : cases) {
        KolmLiteral literal(nullptr);
        EXPECT_TRUE(literal.setLiteral(c.first));
        EXPECT_EQ(literal.text, c.second) << c.first;
    }
}

TEST(Tree, CharacterConstantsAndNumbers)
{
    CapturedDiagnostics diagnostics;
    const std::tuple<const char *, int, bool, uint32_t> cases[] = {
        {"'a'", 0, true, 97},         {"'\\n'", 0, true, 10},     {"'\\0'", 0, true, 0},
        {"'\\''", 0, true, 39},       {"'\\\\'", 0, true, 92},    {"'\\x41'", 0, true, 0x41},
        {"'\\xff'", 0, true, 0xFF},   {"'\xE9'", 0, true, 0xFFFFFFE9}, {"0x1F", 16, true, 31},
        {"012", 8, true, 10},         {"4294967295", 10, true, 0xFFFFFFFF}, {"4294967296", 10, false, 0},
    };
    for (const auto &c : cases) {
        KolmInteger integer(nullptr);
        EXPECT_EQ(integer.setValue(std::get<0>(c), std::get<1>(c)), std::get<2>(c)) << std::get<0>(c);
        EXPECT_EQ(integer.valid, std::get<2>(c)) << std::get<0>(c);
        if (std::get<2>(c))
            EXPECT_EQ(integer.value, std::get<3>(c)) << std::get<0>(c);
    }
    EXPECT_EQ(diagnostics.text(), "kcc: error: :0:0: Cannot convert 4294967296 to integer (stoul)\n\n");
}

TEST(Tree, BadEscapeInCharacterConstant)
{
    CapturedDiagnostics diagnostics;
    KolmInteger integer(nullptr);
    EXPECT_FALSE(integer.setConstant("'\\x'"));
    EXPECT_FALSE(integer.valid);
    EXPECT_EQ(diagnostics.text(), "kcc: error: :0:0: unknown escape sequence '\\x'\n\n");
}

TEST(Tree, IncludeNames)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"lib.kos\"", "lib.kos", false}, {"board.kos>", "board.kos", true}, {"x", "x", false}, {"", "", false}};
    for (const auto &c : cases) {
        KolmInclude include(std::get<0>(c), nullptr);
        EXPECT_EQ(include.name, std::get<1>(c));
        EXPECT_EQ(include.system, std::get<2>(c));
    }
}

TEST(Tree, TextForms)
{
    auto integer = [](uint32_t value) {
        auto *node = new KolmInteger(nullptr);
        node->value = value;
        return node;
    };
    EXPECT_EQ(std::unique_ptr<KolmInteger>(integer(255))->toString(), "Constant(255, 0xff)");

    KolmCompoundExpression five(nullptr), one(nullptr), none(nullptr);
    for (uint32_t i = 1; i <= 5; ++i)
        five.expressions.push_back(integer(i));
    one.expressions.push_back(integer(7));
    EXPECT_EQ(five.toString(), "compound_expression@5(<Constant(1, 0x1)>,<Constant(2, 0x2)>,<Constant(3, 0x3)>,...)");
    EXPECT_EQ(one.toString(), "compound_expression@1(<Constant(7, 0x7)>,)");
    EXPECT_EQ(none.toString(), "compound_expression@0()");

    KolmFunctionCall call(new KolmIdentifier("f", nullptr), new KolmExpressionList{integer(1), integer(2)}, nullptr);
    EXPECT_EQ(call.toString(), "call <Identifier(f@identifier)> (<Constant(1, 0x1)>, <Constant(2, 0x2)>)");
    KolmFunctionCall bare(new KolmIdentifier("f", nullptr), nullptr, nullptr);
    EXPECT_EQ(bare.toString(), "call <Identifier(f@identifier)> ()");
    EXPECT_EQ(KolmJumpStatement(kolm::Token::Return, nullptr, nullptr).toString(), "return <null>");
    EXPECT_EQ(KolmConditional(nullptr, nullptr, nullptr, nullptr).toString(), "if(<null>){<null>}");
    EXPECT_FALSE(KolmDefine("K", "", nullptr).isLiteral());
    EXPECT_TRUE(KolmDefine("K", "\"v\"", nullptr).isLiteral());
}

TEST(Tree, XmlForms)
{
    const std::string file = "a.kos";
    kolm::location loc(kolm::position(&file, 3, 9), kolm::position(&file, 3, 10));
    KolmInteger five(&loc);
    five.value = 5;
    std::ostringstream leaf;
    five.toXML(4, 0, &leaf);
    EXPECT_EQ(leaf.str(), "<Integer file=\"a.kos\" bline=\"3\" bcol=\"9\" eline=\"3\" ecol=\"10\" type=\"11\" "
                          "value=\"5\" />\n");

    KolmTernaryExpression ternary(nullptr, nullptr, nullptr, nullptr);
    std::ostringstream nested;
    ternary.toXML(2, 1, &nested);
    EXPECT_EQ(nested.str(), "  <Ternary file=\"\" bline=\"0\" bcol=\"0\" eline=\"0\" ecol=\"0\" type=\"0\">\n"
                            "    <Null />\n    <Null />\n    <Null />\n  </Ternary>\n");

    KolmDefine define("S", "\"text\"", nullptr);
    std::ostringstream defined;
    define.toXML(1, 0, &defined);
    EXPECT_EQ(defined.str(), "<Define file=\"\" bline=\"0\" bcol=\"0\" eline=\"0\" ecol=\"0\" type=\"36\" key=\"S\" "
                             "value=\"text\" literal=\"true\" />\n");
}

TEST(Tree, CheckIdentifierReplacesResolvedNames)
{
    const std::string file = "m.kos";
    kolm::location loc(kolm::position(&file, 4, 2), kolm::position(&file, 4, 11));
    auto *periphery = new KolmIdentifier("PA0.VALUE", &loc);
    periphery->identifierClass = KolmIdentifier::Periphery;
    KolmExpression *slot = periphery;
    KolmNode::checkIdentifier(&slot);
    auto *reg = dynamic_cast<KolmPeriphRegister *>(slot);
    ASSERT_NE(reg, nullptr);
    EXPECT_EQ(reg->toString(), "Register(PA0@VALUE)");
    EXPECT_EQ(reg->location(), "m.kos:4:2");
    EXPECT_EQ(reg->accessMode, KolmPeriphRegister::Load);
    delete slot;

    auto *number = new KolmIdentifier("N", nullptr);
    number->identifierClass = KolmIdentifier::Integer;
    number->value = 10;
    slot = number;
    KolmNode::checkIdentifier(&slot);
    EXPECT_EQ(slot->toString(), "Constant(10, 0xa)");
    delete slot;

    auto *text = new KolmIdentifier("\"a\\n\"", nullptr);
    text->identifierClass = KolmIdentifier::Literal;
    slot = text;
    KolmNode::checkIdentifier(&slot);
    EXPECT_EQ(slot->toString(), "Literal(\"a\n\")");
    delete slot;

    KolmInteger integer(nullptr);
    slot = &integer;
    KolmNode::checkIdentifier(&slot);
    EXPECT_EQ(slot, &integer);
    slot = nullptr;
    KolmNode::checkIdentifier(&slot);
    EXPECT_EQ(slot, nullptr);
}

TEST(Tree, CheckIdentifierClass)
{
    CapturedDiagnostics diagnostics;
    KolmIdentifier array("a", nullptr);
    array.identifierClass = KolmIdentifier::Array;
    KolmBlock block(nullptr);
    EXPECT_TRUE(block.checkIdentifierClass(nullptr, KolmIdentifier::Plain));
    EXPECT_FALSE(block.checkIdentifierClass(&array, KolmIdentifier::Plain));
    EXPECT_EQ(diagnostics.text(), "kcc: error: :0:0: identifier of type <array> is not allowed here\n");
    EXPECT_EQ(block.location(), ":0:0");
}

TEST(Tree, TokenNamesFollowTheGrammar)
{
    EXPECT_EQ(kolm::tokenName(kolm::Token::EndOfFile), "end of file");
    EXPECT_EQ(kolm::tokenName(kolm::Token::Identifier), "Lex_Identifier");
    EXPECT_EQ(kolm::tokenName(kolm::Token::Var), "Lex_VAR");
    EXPECT_EQ(kolm::tokenName(kolm::Token::MathXor), "Lex_MathXor");
    EXPECT_EQ(kolm::tokenName(kolm::Token::Then), "then");
    EXPECT_EQ(kolm::tokenName(257), "invalid token");
}

// The scanner alone: faults reported with their positions, scanning goes on.
std::string scanFaults(const std::string &text, std::string *tokens)
{
    std::istringstream in(text);
    kolm::Scanner scanner(&in, nullptr);
    std::string faults;
    scanner.setErrorHandler([&](const kolm::location &where, const std::string &message) {
        faults += std::to_string(where.begin.line) + "." + std::to_string(where.begin.column) + " " + message + "\n";
    });
    kolm::location loc;
    kolm::Parser::semantic_type value;
    for (int token; (token = scanner.lex(&value, &loc)) != 0;) {
        *tokens += kolm::tokenName(token) + " ";
        if (token < kolm::Token::Sizeof)
            delete value.text;
    }
    return faults;
}

TEST(Scanner, FaultsAreReportedAndScanningGoesOn)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"a $ b\n", "1.3 Unknown token '$'\n", "Lex_Identifier Lex_Identifier "},
        {"x \xC3\n  #ifdef\n", "1.3 Unknown token '\\xC3'\n2.3 Unknown token '#'\n", "Lex_Identifier Lex_Identifier "},
        {"#define K -1\n", "1.11 invalid define value\n", "Lex_DefineKey Lex_DefineConstant "},
        {"#include\nx\n", "1.1 incomplete directive\n", "Lex_Identifier "},
        {"y /* open\nz\n", "1.3 unterminated comment\n", "Lex_Identifier "},
        {"'ab' q\n", "1.1 Unknown token '''\n1.4 Unknown token '''\n", "Lex_Identifier Lex_Identifier "},
    };
    for (const auto &c : cases) {
        std::string tokens;
        EXPECT_EQ(scanFaults(std::get<0>(c), &tokens), std::get<1>(c)) << std::get<0>(c);
        EXPECT_EQ(tokens, std::get<2>(c)) << std::get<0>(c);
    }
}

// A stream whose reading fails.
class FailingBuffer : public std::streambuf
{
protected:
    int_type underflow() override { throw std::runtime_error("device gone"); }
    std::streamsize xsgetn(char *, std::streamsize) override { throw std::runtime_error("device gone"); }
};

TEST(Scanner, InternalFailureIsAnExceptionNotAnExit)
{
    FailingBuffer buffer;
    std::istream in(&buffer);
    kolm::Scanner scanner(&in, nullptr);
    kolm::location loc;
    kolm::Parser::semantic_type value;
    EXPECT_THROW(scanner.lex(&value, &loc), std::runtime_error);
}

} // namespace
