#ifndef KOLM_QMATERIALFONT_H
#define KOLM_QMATERIALFONT_H

// The icons of the IDE: glyphs of the Material Icons font, compiled into the
// program with their name-to-code list, drawn in a colour that suits the
// theme. One process-wide instance registers the font and keeps the table of
// colour roles; the static functions build icons by glyph name.

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QAbstractButton;
class QAction;

class QMaterialIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor base READ baseColor WRITE setBaseColor)

public:
    enum Color { Base = 0, Checked = 1, Success = 2, Warning = 3, Error = 4 };
    Q_ENUM(Color)

    static QMaterialIcon *instance();
    ~QMaterialIcon() override;

    // Registers the font and adds the glyph list to the table; a font that
    // cannot be registered leaves every icon null.
    void init();
    // Unregisters the font. The glyph table stays.
    void deinit();
    // Sets the colour roles to the tones of the light or the dark theme.
    void setDefaultColors(bool dark);

    // True until the first call: the start-up code of a later pass knows from
    // it that the font must be registered again with the new application.
    bool takeFresh();

    QColor color(Color role) const;
    QColor baseColor() const;
    void setBaseColor(const QColor &color);
    int fontId() const;

    // The glyph of a name; an unknown name gives QChar(0) and *ok false.
    static QChar codepoint(const QString &name, bool *ok = nullptr);

    // An invalid colour stands for the Base role, an empty family for the
    // loaded icon font. The first name is the checked (On) glyph.
    static QIcon multiIcon(const QString &onName, const QString &offName, const QColor &color = QColor(),
                           const QString &family = QString());
    static QIcon icon(const QString &name, const QColor &color = QColor(), const QString &family = QString());
    static void setIcon(const QString &onName, const QString &offName, QAbstractButton *button,
                        const QColor &color = QColor(), const QString &family = QString());
    static void setIcon(const QString &onName, const QString &offName, QAction *action,
                        const QColor &color = QColor(), const QString &family = QString());
    static void setIcon(const QString &name, QAbstractButton *button, const QColor &color = QColor(),
                        const QString &family = QString());
    static void setIcon(const QString &name, QAction *action, const QColor &color = QColor(),
                        const QString &family = QString());

private:
    QMaterialIcon();

    bool m_fresh = true;
    int m_fontId = -1;
    QStringList m_families;
    QHash<QString, unsigned int> m_codepoints;
    QVector<QColor> m_colors;
};

#endif
