#pragma once

#include <QString>
#include <QVector>

// One line for the main window's log: an information or an error.
struct KolmPackageMessage
{
    bool error = false;
    QString text;

    bool operator==(const KolmPackageMessage& other) const
    {
        return error == other.error && text == other.text;
    }
};

// The lines an export or an import produced, in order.
using KolmPackageLog = QVector<KolmPackageMessage>;
