#include "qlanguage.h"

#include <QIODevice>
#include <QXmlStreamReader>

QLanguage::QLanguage(QIODevice* device, QObject* parent)
    : QObject(parent)
{
    load(device);
}

bool QLanguage::load(QIODevice* device)
{
    if (!device)
        return false;

    QXmlStreamReader reader(device);
    QString section;
    QStringList words;
    bool wordAnnounced = false;

    // A section is stored only when it holds words.
    const auto storeSection = [&] {
        if (!words.isEmpty())
            m_sections.insert(section, words);
        words.clear();
    };

    while (!reader.atEnd() && !reader.hasError()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == QLatin1String("section")) {
                storeSection();
                section = reader.attributes().value("name").toString();
            } else if (reader.name() == QLatin1String("name")) {
                wordAnnounced = true;
            }
        } else if (token == QXmlStreamReader::Characters && wordAnnounced) {
            words.append(reader.text().toString());
            wordAnnounced = false;
        }
    }
    storeSection();

    m_loaded = !reader.hasError();
    return m_loaded;
}

bool QLanguage::isLoaded() const
{
    return m_loaded;
}

QStringList QLanguage::keys()
{
    return m_sections.keys();
}

QStringList QLanguage::names(const QString& key)
{
    return m_sections[key];
}
