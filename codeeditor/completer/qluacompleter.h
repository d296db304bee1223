#pragma once

#include <QCompleter>

// Completes the words of the Lua word list.
class QLuaCompleter : public QCompleter
{
    Q_OBJECT

public:
    explicit QLuaCompleter(QObject* parent = nullptr);
};
