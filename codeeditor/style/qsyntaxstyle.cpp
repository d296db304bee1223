#include "qsyntaxstyle.h"

#include "sourceeditorresources.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>

namespace {

QTextCharFormat::UnderlineStyle underlineStyleNamed(QStringRef name)
{
    static const struct {
        const char* name;
        QTextCharFormat::UnderlineStyle style;
    } styles[] = {
        {"SingleUnderline", QTextCharFormat::SingleUnderline},
        {"DashUnderline", QTextCharFormat::DashUnderline},
        {"DotLine", QTextCharFormat::DotLine},
        {"DashDotLine", QTextCharFormat::DashDotLine},
        {"DashDotDotLine", QTextCharFormat::DashDotDotLine},
        {"WaveUnderline", QTextCharFormat::WaveUnderline},
        {"SpellCheckUnderline", QTextCharFormat::SpellCheckUnderline},
    };
    for (const auto& entry : styles) {
        if (name == QLatin1String(entry.name))
            return entry.style;
    }
    return QTextCharFormat::NoUnderline;
}

QColor colorNamed(QStringRef text)
{
    QColor color;
    color.setNamedColor(text.toString());
    return color;
}

// The format of one "style" element; attributes it does not carry stay unset.
QTextCharFormat formatOf(const QXmlStreamAttributes& attributes)
{
    QTextCharFormat format;
    if (attributes.hasAttribute("background"))
        format.setBackground(colorNamed(attributes.value("background")));
    if (attributes.hasAttribute("foreground"))
        format.setForeground(colorNamed(attributes.value("foreground")));
    if (attributes.value("bold") == QLatin1String("true"))
        format.setFontWeight(QFont::Bold);
    if (attributes.value("italic") == QLatin1String("true"))
        format.setFontItalic(true);
    if (attributes.hasAttribute("underlineStyle"))
        format.setUnderlineStyle(underlineStyleNamed(attributes.value("underlineStyle")));
    return format;
}

void loadFromResource(QSyntaxStyle& style, const QString& path)
{
    if (style.isLoaded())
        return;
    registerSourceEditorResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Decoded up to the first zero byte, as a C string would be.
    style.load(QString::fromUtf8(file.readAll().constData()));
}

} // namespace

QSyntaxStyle::QSyntaxStyle(QObject* parent)
    : QObject(parent)
{
}

bool QSyntaxStyle::load(const QString& document)
{
    QXmlStreamReader reader(document);
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == QLatin1String("style-scheme")) {
            if (attributes.hasAttribute("name"))
                m_name = attributes.value("name").toString();
        } else if (reader.name() == QLatin1String("style")) {
            m_formats.insert(attributes.value("name").toString(), formatOf(attributes));
        }
    }
    m_loaded = !reader.hasError();
    return m_loaded;
}

QString QSyntaxStyle::name() const
{
    return m_name;
}

bool QSyntaxStyle::isLoaded() const
{
    return m_loaded;
}

QTextCharFormat QSyntaxStyle::getFormat(const QString& name) const
{
    return m_formats.value(name);
}

QSyntaxStyle* QSyntaxStyle::defaultStyle()
{
    static QSyntaxStyle style;
    loadFromResource(style, QStringLiteral(":/default_style.xml"));
    return &style;
}

QSyntaxStyle* QSyntaxStyle::defaultDarkStyle()
{
    static QSyntaxStyle style;
    loadFromResource(style, QStringLiteral(":/drakula.xml"));
    return &style;
}
