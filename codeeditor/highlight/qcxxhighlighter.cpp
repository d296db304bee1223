#include "qcxxhighlighter.h"

namespace {

// Case-insensitive from "(?i)": decimal and hexadecimal floating literals
// with exponent and "f"/"l" suffix; decimal, octal, hexadecimal and binary
// integers with "u"/"l" suffixes; all with "'" digit separators.
const char numberPattern[] =
    R"((?<=\b|\s|^)(?i)(?:(?:(?:(?:(?:\d+(?:'\d+)*)?\.(?:\d+(?:'\d+)*)(?:e[+-]?(?:\d+(?:'\d+)*))?)|)"
    R"((?:(?:\d+(?:'\d+)*)\.(?:e[+-]?(?:\d+(?:'\d+)*))?)|(?:(?:\d+(?:'\d+)*)(?:e[+-]?(?:\d+(?:'\d+)*)))|)"
    R"((?:0x(?:[0-9a-f]+(?:'[0-9a-f]+)*)?\.(?:[0-9a-f]+(?:'[0-9a-f]+)*)(?:p[+-]?(?:\d+(?:'\d+)*)))|)"
    R"((?:0x(?:[0-9a-f]+(?:'[0-9a-f]+)*)\.?(?:p[+-]?(?:\d+(?:'\d+)*))))[lf]?)|)"
    R"((?:(?:(?:[1-9]\d*(?:'\d+)*)|(?:0[0-7]*(?:'[0-7]+)*)|(?:0x[0-9a-f]+(?:'[0-9a-f]+)*)|)"
    R"((?:0b[01]+(?:'[01]+)*))(?:u?l{0,2}|l{0,2}u?)))(?=\b|\s|$))";

} // namespace

QCXXHighlighter::QCXXHighlighter(QTextDocument* document)
    : QCLikeHighlighter(document, QStringLiteral(":/languages/cpp.xml"),
                        QString::fromLatin1(numberPattern))
{
}
