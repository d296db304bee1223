#include "wordlistrules.h"

#include "highlightpatterns.h"
#include "qlanguage.h"
#include "sourceeditorresources.h"

#include <QFile>

namespace {

bool isPlainWord(const QString& word)
{
    static const QRegularExpression plain(QStringLiteral("^\\w+$"));
    return plain.match(word).hasMatch();
}

} // namespace

void appendWordRules(QVector<QHighlightRule>& rules, const QStringList& words,
                     const QString& wordTemplate, const QString& formatName)
{
    // Under the whole-word template a word made only of word characters
    // matches exactly one whole run of word characters, so such words can
    // share one alternation with the same matches as one rule per word.
    const bool merge = wordTemplate == HighlightPatterns::wholeWord();
    QStringList plainWords;
    for (const QString& word : words) {
        if (merge && isPlainWord(word))
            plainWords.append(word);
        else
            rules.append({QRegularExpression(wordTemplate.arg(word)), formatName});
    }
    if (!plainWords.isEmpty()) {
        const QString alternation = QStringLiteral("(?:%1)").arg(plainWords.join(QLatin1Char('|')));
        rules.append({QRegularExpression(wordTemplate.arg(alternation)), formatName});
    }
}

bool appendWordListRules(QVector<QHighlightRule>& rules, const QString& resource,
                         const QString& wordTemplate)
{
    registerSourceEditorResources();
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QLanguage language(&file);
    if (!language.isLoaded())
        return false;

    for (const QString& section : language.keys())
        appendWordRules(rules, language.names(section), wordTemplate, section);
    return true;
}
