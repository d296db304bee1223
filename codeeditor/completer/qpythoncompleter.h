#pragma once

#include <QCompleter>

// Completes the words of the Python word list.
class QPythonCompleter : public QCompleter
{
    Q_OBJECT

public:
    explicit QPythonCompleter(QObject* parent = nullptr);
};
