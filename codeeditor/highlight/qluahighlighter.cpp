#include "qluahighlighter.h"

#include "highlightpatterns.h"
#include "wordlistrules.h"

using namespace HighlightPatterns;

namespace {
// One optional white-space character on each side belongs to a word's match.
const QString luaWordTemplate = QStringLiteral(R"(\b\s{0,1}%1\s{0,1}\b)");
// The end of a long comment or string is searched from its opening on.
const int endSearchOffset = 0;
} // namespace

QLuaHighlighter::QLuaHighlighter(QTextDocument* document)
    : QStyleSyntaxHighlighter(document)
    , includeExpression(QStringLiteral(R"(require\s*([("'][a-zA-Z0-9*._]+['")]))"))
    , callExpression(prefixedCall())
    , declarationExpression(QStringLiteral(R"(\b([A-Za-z0-9_]+)\s+[A-Za-z]{1}[A-Za-z0-9_]+\s*[=])"))
{
    if (!appendWordListRules(rules, QStringLiteral(":/languages/lua.xml"), luaWordTemplate))
        return;

    rules.append({QRegularExpression(simpleNumber()), QStringLiteral("Number")});
    rules.append({QRegularExpression(QStringLiteral(R"(["'][^\n"]*["'])")), QStringLiteral("String")});
    rules.append({QRegularExpression(QStringLiteral(R"(#\![a-zA-Z_]+)")), QStringLiteral("Preprocessor")});
    rules.append({QRegularExpression(QStringLiteral(R"(--[^\n]*)")), QStringLiteral("Comment")});

    blockRules.append({QRegularExpression(QStringLiteral(R"(--\[\[)")),
                       QRegularExpression(QStringLiteral(R"(--\]\])")), QStringLiteral("Comment")});
    blockRules.append({QRegularExpression(QStringLiteral(R"(\[\[)")),
                       QRegularExpression(QStringLiteral(R"(\]\])")), QStringLiteral("String")});
}

void QLuaHighlighter::highlightBlock(const QString& text)
{
    highlightIncludes(text, includeExpression);
    highlightCalls(text, callExpression);
    highlightDeclarations(text, declarationExpression);
    highlightRules(text, rules);
    highlightBlockRules(text, blockRules, endSearchOffset);
}
