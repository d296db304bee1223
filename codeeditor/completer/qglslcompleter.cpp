#include "qglslcompleter.h"

#include "wordlistcompletion.h"

QGLSLCompleter::QGLSLCompleter(QObject* parent)
    : QCompleter(parent)
{
    setWordListModel(this, QStringLiteral(":/languages/glsl.xml"));
}
