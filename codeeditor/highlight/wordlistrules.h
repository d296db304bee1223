#pragma once

#include "qhighlightrule.h"

#include <QStringList>
#include <QVector>

// Appends one rule per word: the word put unescaped into the template ("%1"),
// styled with formatName. Words must therefore be valid expression text.
void appendWordRules(QVector<QHighlightRule>& rules, const QStringList& words,
                     const QString& wordTemplate, const QString& formatName);

// Reads the compiled-in word list at resource and appends the rules of its
// words, section by section in key order, each styled with its section name.
// Returns false, appending nothing, when the list cannot be opened or read.
bool appendWordListRules(QVector<QHighlightRule>& rules, const QString& resource,
                         const QString& wordTemplate);
