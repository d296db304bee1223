#pragma once

#include "qclikehighlighter.h"

// Highlighter for C++ sources: the C-like steps over the C++ word list, with
// C++ number literals (floating, binary, suffixes, digit separators).
class QCXXHighlighter : public QCLikeHighlighter
{
    Q_OBJECT

public:
    explicit QCXXHighlighter(QTextDocument* document = nullptr);
};
