#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class QIODevice;

// A language word list: the reserved words of a language in named sections
// ("Keyword", "Function", "PrimitiveType" ...). Section names double as the
// colour scheme's style names.
class QLanguage : public QObject
{
    Q_OBJECT

public:
    // Loads from the device, which the caller has opened, at once.
    explicit QLanguage(QIODevice* device, QObject* parent = nullptr);

    // Reads a word-list document. Adds sections and replaces sections of the
    // same name; on an XML error what was read before it stays. A null device
    // changes nothing and returns false. Returns the new loaded flag.
    bool load(QIODevice* device);

    bool isLoaded() const;

    // Section names in ascending order of their UTF-16 code units.
    QStringList keys();

    // The words of a section in document order. A key the list does not hold
    // yields an empty list and is held, empty, from then on.
    QStringList names(const QString& key);

private:
    bool m_loaded = false;
    QMap<QString, QStringList> m_sections;
};
