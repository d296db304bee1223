#include "qkoshighlighter.h"

#include "qlanguage.h"
#include "sourceeditorresources.h"

#include <QFile>
#include <QTextCharFormat>

namespace {

const QString wordTemplate = QStringLiteral("\\b%1\\b");

// A word made only of word characters matches exactly one whole run of word
// characters, so several of them can share one alternation with the same
// matches as one rule per word.
bool isPlainWord(const QString& word)
{
    static const QRegularExpression plain(QStringLiteral("^\\w+$"));
    return plain.match(word).hasMatch();
}

} // namespace

QKOSHighlighter::QKOSHighlighter(QTextDocument* document)
    : QStyleSyntaxHighlighter(document)
    , includeExpression(QStringLiteral(R"(^\s*#\s*include\s*([<"][^:?"<>\|]+[">]))"))
    , callExpression(QStringLiteral(
          R"(\b([_a-zA-Z][_a-zA-Z0-9]*\s+)?((?:[_a-zA-Z][_a-zA-Z0-9]*\s*::\s*)*[_a-zA-Z][_a-zA-Z0-9]*)(?=\s*\())"))
    , declarationExpression(
          QStringLiteral(R"(\b([_a-zA-Z][_a-zA-Z0-9]*)\s+[_a-zA-Z][_a-zA-Z0-9]*\s*[;=])"))
    , commentStartExpression(QStringLiteral(R"(/\*)"))
    , commentEndExpression(QStringLiteral(R"(\*/)"))
{
    registerSourceEditorResources();
    QFile file(QStringLiteral(":/languages/kos.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QLanguage language(&file);
    if (!language.isLoaded())
        return;

    for (const QString& section : language.keys())
        addWordRules(language.names(section), section);

    rules.append({QRegularExpression(QStringLiteral(
                      R"((?<=\b|\s|^)(?:0|[1-9][0-9]*|0[0-7]+|0[xX][0-9a-fA-F]+)(?=\b|\s|$))")),
                  QStringLiteral("Number")});
    rules.append({QRegularExpression(QStringLiteral(R"("[^\n"]*")")), QStringLiteral("String")});
    rules.append({QRegularExpression(QStringLiteral("#[a-zA-Z_]+")), QStringLiteral("Preprocessor")});
    rules.append({QRegularExpression(QStringLiteral(R"(//[^\n]*)")), QStringLiteral("Comment")});
}

void QKOSHighlighter::addWordRules(const QStringList& words, const QString& formatName)
{
    QStringList plainWords;
    for (const QString& word : words) {
        if (isPlainWord(word))
            plainWords.append(word);
        else
            rules.append({QRegularExpression(wordTemplate.arg(word)), formatName});
    }
    if (!plainWords.isEmpty()) {
        const QString alternation = QStringLiteral("(?:%1)").arg(plainWords.join(QLatin1Char('|')));
        rules.append({QRegularExpression(wordTemplate.arg(alternation)), formatName});
    }
}

void QKOSHighlighter::highlightBlock(const QString& text)
{
    const QTextCharFormat preprocessorFormat = styleFormat(QStringLiteral("Preprocessor"));
    const QTextCharFormat stringFormat = styleFormat(QStringLiteral("String"));
    const QTextCharFormat typeFormat = styleFormat(QStringLiteral("Type"));
    const QTextCharFormat functionFormat = styleFormat(QStringLiteral("Function"));

    for (auto matches = includeExpression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(), match.capturedLength(), preprocessorFormat);
        setFormat(match.capturedStart(1), match.capturedLength(1), stringFormat);
    }

    for (auto matches = callExpression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(), match.capturedLength(), typeFormat);
        setFormat(match.capturedStart(2), match.capturedLength(2), functionFormat);
    }

    for (auto matches = declarationExpression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(1), match.capturedLength(1), typeFormat);
    }

    for (const QHighlightRule& rule : rules)
        highlightByRegex(styleFormat(rule.formatName), rule.expression, text);

    highlightSpanningComments(text, commentStartExpression, commentEndExpression,
                              styleFormat(QStringLiteral("Comment")));
}
