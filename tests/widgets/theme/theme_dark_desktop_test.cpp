// On a dark desktop the IDE turns dark by itself, unless the setting says
// otherwise.

#include "theme_settings.h"
#include "themedetector.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QtTest>

class ThemeDarkDesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid());
        useOwnSettings(m_settingsDir);
        QApplication::setPalette(QPalette(QColor(30, 30, 30)));
    }

    void settingAbsentFollowsTheDesktop()
    {
        ThemeDetector::init(nullptr, QStringLiteral("DarkMode"));
        QVERIFY(ThemeDetector::isDarkThemeEnabled());
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor("#353535"));
    }

    void settingFalseWins()
    {
        QSettings().setValue(QStringLiteral("DarkMode"), false);
        ThemeDetector::init(nullptr, QStringLiteral("DarkMode"));
        QVERIFY(!ThemeDetector::isDarkThemeEnabled());
    }

    // The desktop was asked once; the dark palette installed since does not
    // change its answer.
    void desktopIsAskedOnce()
    {
        QApplication::setPalette(QPalette(Qt::white));
        ThemeDetector::init(nullptr, QString());
        QVERIFY(ThemeDetector::isDarkThemeEnabled());
    }

private:
    QTemporaryDir m_settingsDir;
};

QTEST_MAIN(ThemeDarkDesktopTest)
#include "theme_dark_desktop_test.moc"
