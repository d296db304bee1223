#pragma once

#include "qclikehighlighter.h"

// Highlighter for Kolm script sources: the C-like steps over the script's
// word list, with integer literals (decimal, octal, hexadecimal) as numbers.
class QKOSHighlighter : public QCLikeHighlighter
{
    Q_OBJECT

public:
    explicit QKOSHighlighter(QTextDocument* document = nullptr);
};
