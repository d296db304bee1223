#include "themedetector.h"

#include "darkpalette.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSettings>
#include <QStyleFactory>

bool ThemeDetector::s_initialised = false;
bool ThemeDetector::s_detected = false;
bool ThemeDetector::s_dark = false;

static const char forceDarkOption[] = "force-dark";

bool ThemeDetector::isDarkWindowColor(const QColor &window)
{
    return 11 * window.red() + 16 * window.green() + 5 * window.blue() < 3200;
}

// Without a GUI application there is no desktop palette to ask: light.
void ThemeDetector::detect()
{
    s_initialised = true;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        s_detected = isDarkWindowColor(QGuiApplication::palette().color(QPalette::Active, QPalette::Window));
    s_dark = s_detected;
}

bool ThemeDetector::isDarkThemeEnabled()
{
    if (!s_initialised)
        detect();
    return s_dark;
}

bool ThemeDetector::addOptions(QCommandLineParser &parser)
{
    return parser.addOption(QCommandLineOption(
        QString::fromLatin1(forceDarkOption),
        QCoreApplication::translate("ThemeDetector", "Force the application to use the dark theme.")));
}

void ThemeDetector::init(const QCommandLineParser *parser, const QString &key)
{
    if (!s_initialised)
        detect();

    if (parser && parser->isSet(QString::fromLatin1(forceDarkOption)))
        s_dark = true;
    else if (!key.isEmpty())
        s_dark = QSettings().value(key, s_detected).toBool();
    else
        s_dark = s_detected;

    if (s_dark)
        installDarkPalette();
}

void ThemeDetector::reinit()
{
    if (s_dark)
        installDarkPalette();
}

QColor ThemeDetector::iconColor()
{
    return s_dark ? QColor(0xE2, 0xE2, 0xE2) : QColor(0x3A, 0x3A, 0x3A);
}

// Palette and style belong to the widget application; without one there is
// nothing to install them on.
void ThemeDetector::installDarkPalette()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app)
        return;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
    app->setStyleSheet(QString::fromLatin1(darkToolTipStyleSheet));
}
