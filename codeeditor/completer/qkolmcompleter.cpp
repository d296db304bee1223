#include "qkolmcompleter.h"

#include "wordlistcompletion.h"

QKolmCompleter::QKolmCompleter(QObject* parent)
    : QCompleter(parent)
{
    setWordListModel(this, QStringLiteral(":/languages/kos.xml"));
}
