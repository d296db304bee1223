#include "qpythoncompleter.h"

#include "wordlistcompletion.h"

QPythonCompleter::QPythonCompleter(QObject* parent)
    : QCompleter(parent)
{
    setWordListModel(this, QStringLiteral(":/languages/python.xml"));
}
