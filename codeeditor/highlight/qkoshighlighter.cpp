#include "qkoshighlighter.h"

QKOSHighlighter::QKOSHighlighter(QTextDocument* document)
    : QCLikeHighlighter(
          document, QStringLiteral(":/languages/kos.xml"),
          QStringLiteral(R"((?<=\b|\s|^)(?:0|[1-9][0-9]*|0[0-7]+|0[xX][0-9a-fA-F]+)(?=\b|\s|$))"))
{
}
