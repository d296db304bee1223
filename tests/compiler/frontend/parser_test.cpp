// The parser: exact syntax error texts, the shape of the trees it builds,
// and values freed after a syntax error (checked by the leak sanitizer).

#include "frontend_test_support.h"
#include "lexer.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase {
    const char *name;
    const char *source;
    const char *diagnostic;
};

class SyntaxErrorTest : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(SyntaxErrorTest, ReportsTheVerboseMessage)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    EXPECT_FALSE(driver.parse_string(GetParam().source, "s.kos"));
    EXPECT_TRUE(driver.error_flag);
    EXPECT_EQ(diagnostics.text(), std::string("kcc: error: s.kos:") + GetParam().diagnostic + "\n");
}

const ErrorCase kErrors[] = {
    {"StartsWithIdentifier", "x = 1;\n",
     "1:1 syntax error, unexpected Lex_Identifier, expecting Lex_DefineKey or Lex_Undef or Lex_Include or Lex_VAR"},
    {"MissingSemicolonAtEnd", "var x = 1",
     "2:1 syntax error, unexpected end of file, expecting Lex_Comma or Lex_SemiColon"},
    {"StatementWithoutSemicolon", "var f() { x }\n",
     "1:13 syntax error, unexpected Lex_RBrace, expecting Lex_Comma or Lex_SemiColon"},
    {"UntypedArgument", "var f(x);\n", "1:5 syntax error, unexpected Lex_Identifier, expecting Lex_RParen or Lex_VAR"},
    {"DeclarationAfterStatement", "var f() {\n x;\n var y;\n}\n", "3:2 syntax error, unexpected Lex_VAR"},
    {"ChainedIn", "var f() { 1 in 2 in x; }\n",
     "1:18 syntax error, unexpected Lex_CondIn, expecting Lex_Comma or Lex_SemiColon"},
    {"EmptyStaticArray", "var a = [];\n", "1:9 syntax error, unexpected Lex_RSquare"},
    {"StaticArrayAfterDeclarator", "var b, a = [1];\n", "1:12 syntax error, unexpected Lex_LSquare"},
    {"LabelBeforeBrace", "var f() { l: }\n", "1:14 syntax error, unexpected Lex_RBrace"},
    {"IncludeInsideFunction", "var f() {\n#include \"a.kos\"\n}\n", "2:1 syntax error, unexpected Lex_Include"},
    {"ErrorLineAfterConditional", "#if 0\nignored\n#endif\nvar x = ;\n", "4:9 syntax error, unexpected Lex_SemiColon"},
};

INSTANTIATE_TEST_SUITE_P(Parser, SyntaxErrorTest, ::testing::ValuesIn(kErrors),
                         [](const auto &info) { return std::string(info.param.name); });

struct ShapeCase {
    const char *name;
    const char *source;
    const char *tree; // text forms of the root's statements, one per line
};

class TreeShapeTest : public ::testing::TestWithParam<ShapeCase>
{
};

TEST_P(TreeShapeTest, BuildsTheTree)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    ASSERT_TRUE(driver.parse_string(GetParam().source, "s.kos")) << diagnostics.text();
    std::string tree;
    for (const KolmStatement *statement : driver.root->statements)
        tree += statement->toString() + "\n";
    EXPECT_EQ(tree, GetParam().tree);
    EXPECT_EQ(diagnostics.text(), "");
}

const ShapeCase kShapes[] = {
    {"EmptySource", "", ""},
    {"OnlyComments", "// guard\n/* nothing */\n", ""},
    {"GuardedIncludeSeenBefore", "#ifndef LIB\n#define LIB\nvar x;\n#endif\n", "define:LIB->\nblock@1/0{...}\n"},
    {"TwoDeclarators", "var a = 1, b;\n", "block@2/0{...}\n"},
    {"FunctionWithArguments", "var f(var a, var b);\n", "declare <Identifier(f@identifier)>(...@2){null}\n"},
    {"Preprocessor", "#define S \"x\"\n#undef S\n#include <lib.kos>\n", "define:S->\"x\"\nundef:S\ninclude:lib.kos@abs\n"},
};

INSTANTIATE_TEST_SUITE_P(Parser, TreeShapeTest, ::testing::ValuesIn(kShapes),
                         [](const auto &info) { return std::string(info.param.name); });

// The first statement of the body of the only function of a source.
const KolmStatement *firstStatement(const kolm::Compiler &driver)
{
    const auto *function = dynamic_cast<const KolmFunctionDeclaration *>(driver.root->statements.at(0));
    const auto *body = dynamic_cast<const KolmCompoundBlock *>(function->body);
    return dynamic_cast<const KolmBlock *>(body->statements)->statements.at(0);
}

TEST(Parser, StatementsKeepTheirStructure)
{
    const std::pair<const char *, const char *> cases[] = {
        {"if (a) if (b) x; else y;",
         "if(<compound_expression@1(<Identifier(a@identifier)>,)>){<if(<compound_expression@1(<Identifier(b@"
         "identifier)>,)>){<statement(<compound_expression@1(<Identifier(x@identifier)>,)>)>}else{<statement(<"
         "compound_expression@1(<Identifier(y@identifier)>,)>)>}>}"},
        {"1 = 2;", "statement(<compound_expression@1(<assign <Constant(2, 0x2)> to <Constant(1, 0x1)> via '='>,)>)"},
        {"x = y = 0;",
         "statement(<compound_expression@1(<assign <assign <Constant(0, 0x0)> to <Identifier(y@identifier)> via "
         "'='> to <Identifier(x@identifier)> via '='>,)>)"},
        {"a = sizeof(var) + sizeof(x) + sizeof x;",
         "statement(<compound_expression@1(<assign <math(<math(<platform_int_size> \"+\" <sizeof(<compound_"
         "expression@1(<Identifier(x@identifier)>,)>)>)> \"+\" <sizeof(<Identifier(x@identifier)>)>)> to "
         "<Identifier(a@identifier)> via '='>,)>)"},
        {"p[i]++ + -PA0.VALUE * ~f(1, \"s\") << 2;",
         "statement(<compound_expression@1(<math(<math(<postfix(<<compound_expression@1(<Identifier(i@identifier)"
         ">,) element of Identifier(p@identifier)>> \"++\")> \"+\" <math(<unary(\"-\" <Register(PA0@VALUE)>)> "
         "\"*\" <unary(\"~\" <call <Identifier(f@identifier)> (<Constant(1, 0x1)>, <Literal(\"s\")>)>)>)>)> "
         "\"<<\" <Constant(2, 0x2)>)>,)>)"},
        {"for (var i = 0; i < 3; i++) ;",
         "for(<declarations@1>;<compound_expression@1(<comparison(<Identifier(i@identifier)> \"<\" <Constant(3, "
         "0x3)>)>,)>;<compound_expression@1(<postfix(<Identifier(i@identifier)> \"++\")>,)>){<statement(<null>)>}"},
        {"switch (k) { case 1: x; default: }", "switch by <compound_expression@1(<Identifier(k@identifier)>,)> with 2 "
                                              "branches"},
        {"goto end;", "goto <Identifier(end@identifier)>"},
    };
    for (const auto &c : cases) {
        CapturedDiagnostics diagnostics;
        kolm::Compiler driver(nullptr);
        ASSERT_TRUE(driver.parse_string(std::string("var f() {\n") + c.first + "\n}\n", "s.kos"))
            << c.first << "\n" << diagnostics.text();
        EXPECT_EQ(firstStatement(driver)->toString(), c.second) << c.first;
    }
}

TEST(Parser, OperatorCodesAreTokenNumbers)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    ASSERT_TRUE(driver.parse_string("var f() { a += b % 2; }\n", "s.kos"));
    const auto *statement = dynamic_cast<const KolmExpressionStatement *>(firstStatement(driver));
    const auto *compound = dynamic_cast<const KolmCompoundExpression *>(statement->expression);
    const auto *assignment = dynamic_cast<const KolmAssignmentExpression *>(compound->expressions.at(0));
    ASSERT_NE(assignment, nullptr);
    EXPECT_EQ(assignment->op, 294);
    EXPECT_EQ(dynamic_cast<const KolmBinaryOp *>(assignment->value)->op, 324);
}

TEST(Parser, SwitchStatementBeforeFirstCaseIsReported)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    ASSERT_TRUE(driver.parse_string("var f() {\nswitch (k) { x; case 1: y; }\n}\n", "s.kos"));
    const auto *block = dynamic_cast<const KolmSwitchBlock *>(firstStatement(driver));
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(block->bodyValid);
    EXPECT_EQ(block->branches.size(), 1u);
    EXPECT_EQ(block->strays.size(), 1u);
    EXPECT_EQ(diagnostics.text(), "kcc: error: s.kos:2:1: statement(<compound_expression@1(<Identifier(x@identifier)"
                                  ">,)>) inside switch block is out of context\n");
}

TEST(Parser, ValuesLeftOnTheStackBySyntaxErrorsAreFreed)
{
    // Under the leak sanitizer, each of these leaves nodes, lists and texts
    // on the parser's stack when the error strikes.
    for (const char *source : {"var f(var a, var b) { var x = g(1, \"s\", (2 + k[3]); }\n",
                               "var a = [1, 2, 3 var b;\n", "#define K \"v\"\nvar f() { { var x; if (x) { y = 1; }\n",
                               "var f() { switch (x) { case 1: a; } goto ; }\n"}) {
        CapturedDiagnostics diagnostics;
        kolm::Compiler driver(nullptr);
        EXPECT_FALSE(driver.parse_string(source, "s.kos")) << source;
        EXPECT_NE(diagnostics.text().find("syntax error"), std::string::npos) << source;
    }
}

TEST(Parser, ReparsingReplacesTheTree)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    ASSERT_TRUE(driver.parse_string("var a;\nvar b;\n", "s.kos"));
    EXPECT_EQ(driver.root->statements.size(), 2u);
    ASSERT_TRUE(driver.parse_string("var c;\n", "s.kos"));
    EXPECT_EQ(driver.root->statements.size(), 1u);
}

} // namespace
