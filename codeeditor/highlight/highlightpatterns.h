#pragma once

#include <QString>

// Patterns that several highlighters share, as the expression engine
// receives them.
namespace HighlightPatterns {

// A word rule that matches the word whole: "%1" is replaced by the word.
inline QString wholeWord() { return QStringLiteral(R"(\b%1\b)"); }

// C-like languages: include lines (group 1 the file name with its
// delimiters), calls (group 2 the called name, with "::" prefixes) and
// declarations (group 1 the declared type).
inline QString cInclude() { return QStringLiteral(R"(^\s*#\s*include\s*([<"][^:?"<>\|]+[">]))"); }
inline QString cCall()
{
    return QStringLiteral(
        R"(\b([_a-zA-Z][_a-zA-Z0-9]*\s+)?((?:[_a-zA-Z][_a-zA-Z0-9]*\s*::\s*)*[_a-zA-Z][_a-zA-Z0-9]*)(?=\s*\())");
}
inline QString cDeclaration()
{
    return QStringLiteral(R"(\b([_a-zA-Z][_a-zA-Z0-9]*)\s+[_a-zA-Z][_a-zA-Z0-9]*\s*[;=])");
}
inline QString commentStart() { return QStringLiteral(R"(/\*)"); }
inline QString commentEnd() { return QStringLiteral(R"(\*/)"); }

// A call whose name may carry prefixes separated by white space or "::"
// (group 2 the name).
inline QString prefixedCall() { return QStringLiteral(R"(\b([A-Za-z0-9_]+(?:\s+|::))*([A-Za-z0-9_]+)(?=\())"); }

// Digits, points and digit separators with an optional "0b" or "0x".
inline QString simpleNumber() { return QStringLiteral(R"(\b(0b|0x){0,1}[\d.']+\b)"); }
// A double-quoted text that closes on its line, without escapes.
inline QString doubleQuotedString() { return QStringLiteral(R"("[^\n"]*")"); }
inline QString preprocessorWord() { return QStringLiteral("#[a-zA-Z_]+"); }
inline QString slashComment() { return QStringLiteral(R"(//[^\n]*)"); }

} // namespace HighlightPatterns
