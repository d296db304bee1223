#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QTextCharFormat>

// A colour scheme: maps style names ("Keyword", "Comment", "CurrentLine" ...)
// to character formats. Everything in the code editor that colours text asks
// the scheme for a format by name.
class QSyntaxStyle : public QObject
{
    Q_OBJECT

public:
    explicit QSyntaxStyle(QObject* parent = nullptr);

    // Reads a style-scheme XML document given as text. Adds to and overwrites
    // what earlier loads left; on an XML error the styles read before it stay.
    // Returns the new loaded flag.
    bool load(const QString& document);

    QString name() const;
    bool isLoaded() const;

    // The format stored under the exact, case-sensitive name; an empty format
    // for a name the scheme does not hold.
    QTextCharFormat getFormat(const QString& name) const;

    // The process-wide light and dark schemes, loaded from the editor's
    // bundle on first use. Never null; an unreadable bundle file leaves the
    // scheme empty and not loaded, and the next call tries again.
    static QSyntaxStyle* defaultStyle();
    static QSyntaxStyle* defaultDarkStyle();

private:
    QString m_name;
    QMap<QString, QTextCharFormat> m_formats;
    bool m_loaded = false;
};
