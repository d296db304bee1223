#pragma once

#include <QCompleter>

// Completes the words of the GLSL shader word list.
class QGLSLCompleter : public QCompleter
{
    Q_OBJECT

public:
    explicit QGLSLCompleter(QObject* parent = nullptr);
};
