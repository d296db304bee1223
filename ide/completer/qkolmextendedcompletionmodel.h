#pragma once

#include <QStringList>

// The completion vocabulary of the Kolm language: keywords, built-in
// functions and interrupt handlers, and the predefined macros. A list of
// words to offer; it defines nothing.
class QKolmExtendedCompletionModel
{
public:
    static const QStringList builtins;
};
