#ifndef KOLM_THEMEDETECTOR_H
#define KOLM_THEMEDETECTOR_H

// Whether the IDE runs in its dark theme. The desktop palette gives a first
// guess, made once per process; the option "force-dark" or a stored setting
// override it. The verdict outlives application objects; a new application
// gets the dark palette again through reinit().

#include <QColor>
#include <QString>

class QCommandLineParser;

class ThemeDetector {
public:
    static bool isDarkThemeEnabled();
    static bool addOptions(QCommandLineParser &parser);
    static void init(const QCommandLineParser *parser, const QString &key);
    static void reinit();
    static QColor iconColor();

    // The desktop is dark when the weighted mean 11 R + 16 G + 5 B of its
    // window colour lies below 3200.
    static bool isDarkWindowColor(const QColor &window);

private:
    static void detect();
    static void installDarkPalette();

    static bool s_initialised;
    static bool s_detected; // the desktop's guess, kept for a later init()
    static bool s_dark;
};

#endif
