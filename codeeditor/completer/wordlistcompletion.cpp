#include "wordlistcompletion.h"

#include "qlanguage.h"
#include "sourceeditorresources.h"

#include <QCompleter>
#include <QFile>
#include <QStringListModel>

void setWordListModel(QCompleter* completer, const QString& resource)
{
    registerSourceEditorResources();
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QLanguage language(&file);
    if (!language.isLoaded())
        return;

    QStringList words;
    for (const QString& section : language.keys())
        words += language.names(section);

    completer->setModel(new QStringListModel(words, completer));
    completer->setCompletionColumn(0);
    completer->setModelSorting(QCompleter::UnsortedModel);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    completer->setWrapAround(true);
}
