#pragma once

#include <QCompleter>

// Completes the words of the Kolm script word list.
class QKolmCompleter : public QCompleter
{
    Q_OBJECT

public:
    explicit QKolmCompleter(QObject* parent = nullptr);
};
