#include "qpythonhighlighter.h"

#include "highlightpatterns.h"
#include "wordlistrules.h"

using namespace HighlightPatterns;

namespace {
// The closing quotes of a long string are searched from one character after
// its opening, so a line that continues one is not closed by quotes at its
// very start.
const int endSearchOffset = 1;
} // namespace

QPythonHighlighter::QPythonHighlighter(QTextDocument* document)
    : QStyleSyntaxHighlighter(document)
    , callExpression(QStringLiteral(R"(\b([A-Za-z0-9_]+(?:\.))*([A-Za-z0-9_]+)(?=\())"))
{
    if (!appendWordListRules(rules, QStringLiteral(":/languages/python.xml"), wholeWord()))
        return;

    rules.append({QRegularExpression(simpleNumber()), QStringLiteral("Number")});
    rules.append({QRegularExpression(doubleQuotedString()), QStringLiteral("String")});
    rules.append({QRegularExpression(QStringLiteral(R"('[^\n']*')")), QStringLiteral("String")});
    rules.append({QRegularExpression(QStringLiteral(R"(#[^\n]*)")), QStringLiteral("Comment")});

    for (const QString& quotes : {QStringLiteral("(''')"), QStringLiteral("(\"\"\")")}) {
        const QRegularExpression delimiter(quotes);
        blockRules.append({delimiter, delimiter, QStringLiteral("String")});
    }
}

void QPythonHighlighter::highlightBlock(const QString& text)
{
    highlightCalls(text, callExpression);
    highlightRules(text, rules);
    highlightBlockRules(text, blockRules, endSearchOffset);
}
