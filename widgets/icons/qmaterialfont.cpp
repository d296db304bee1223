#include "qmaterialfont.h"

#include "codepointsreader.h"
#include "qfonticonengine.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

static const char fontResource[] = ":/qtmf/src_v55/MaterialIcons-Regular.ttf";
static const char codepointsResource[] = ":/qtmf/src_v55/codepoints";

// The resource lives in a static library; its registration must be pulled in
// by name, outside any namespace.
static void initIconResource()
{
    Q_INIT_RESOURCE(qtmf);
}

QMaterialIcon *QMaterialIcon::instance()
{
    static QMaterialIcon icons;
    return &icons;
}

QMaterialIcon::QMaterialIcon()
    : m_colors{Qt::black, Qt::green, Qt::green, Qt::darkYellow, Qt::red}
{
    initIconResource();
    init();
}

QMaterialIcon::~QMaterialIcon()
{
    deinit();
}

void QMaterialIcon::init()
{
    m_fontId = QFontDatabase::addApplicationFont(QString::fromLatin1(fontResource));
    if (m_fontId < 0)
        return;
    m_families = QFontDatabase::applicationFontFamilies(m_fontId);

    QFile file(QString::fromLatin1(codepointsResource));
    if (!file.open(QIODevice::ReadOnly))
        return;
    readCodepoints(file, m_codepoints);
}

// The font's registration belongs to the application object; once that is
// gone (as at process exit, when this singleton is destroyed) there is no
// font database left to ask.
void QMaterialIcon::deinit()
{
    if (m_fontId < 0)
        return;
    if (QGuiApplication::instance())
        QFontDatabase::removeApplicationFont(m_fontId);
    m_fontId = -1;
}

void QMaterialIcon::setDefaultColors(bool dark)
{
    if (dark)
        m_colors = {Qt::white, QColor("#A5D6A7"), QColor("#A5D6A7"), QColor("#FF9800"), QColor("#F44336")};
    else
        m_colors = {Qt::black, QColor("#4CAF50"), QColor("#4CAF50"), QColor("#FFCC80"), QColor("#EF9A9A")};
}

bool QMaterialIcon::takeFresh()
{
    const bool fresh = m_fresh;
    m_fresh = false;
    return fresh;
}

QColor QMaterialIcon::color(Color role) const
{
    return m_colors.value(role);
}

QColor QMaterialIcon::baseColor() const
{
    return m_colors.at(Base);
}

void QMaterialIcon::setBaseColor(const QColor &color)
{
    m_colors[Base] = color;
}

int QMaterialIcon::fontId() const
{
    return m_fontId;
}

QChar QMaterialIcon::codepoint(const QString &name, bool *ok)
{
    const QHash<QString, unsigned int> &codepoints = instance()->m_codepoints;
    const auto it = codepoints.constFind(name);
    if (ok)
        *ok = it != codepoints.constEnd();
    if (it == codepoints.constEnd())
        return QChar(0);
    return QChar(static_cast<ushort>(it.value() & 0xFFFF));
}

QIcon QMaterialIcon::multiIcon(const QString &onName, const QString &offName, const QColor &color,
                               const QString &family)
{
    const QMaterialIcon *icons = instance();
    if (icons->m_fontId < 0)
        return QIcon();

    auto *engine = new QFontIconEngine;
    engine->setFontFamily(family.isEmpty() ? icons->m_families.value(0) : family);
    engine->setLetter(codepoint(onName), QIcon::On);
    engine->setLetter(codepoint(offName), QIcon::Off);
    engine->setBaseColor(color.isValid() ? color : icons->color(Base));
    engine->setCheckColor(icons->color(Checked));
    return QIcon(engine);
}

QIcon QMaterialIcon::icon(const QString &name, const QColor &color, const QString &family)
{
    return multiIcon(name, name, color, family);
}

void QMaterialIcon::setIcon(const QString &onName, const QString &offName, QAbstractButton *button,
                            const QColor &color, const QString &family)
{
    button->setIcon(multiIcon(onName, offName, color, family));
}

void QMaterialIcon::setIcon(const QString &onName, const QString &offName, QAction *action, const QColor &color,
                            const QString &family)
{
    action->setIcon(multiIcon(onName, offName, color, family));
}

void QMaterialIcon::setIcon(const QString &name, QAbstractButton *button, const QColor &color,
                            const QString &family)
{
    setIcon(name, name, button, color, family);
}

void QMaterialIcon::setIcon(const QString &name, QAction *action, const QColor &color, const QString &family)
{
    setIcon(name, name, action, color, family);
}
