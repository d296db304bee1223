#include "qluacompleter.h"

#include "wordlistcompletion.h"

QLuaCompleter::QLuaCompleter(QObject* parent)
    : QCompleter(parent)
{
    setWordListModel(this, QStringLiteral(":/languages/lua.xml"));
}
