// The theme verdict on a light desktop: the luminance rule, the command-line
// option and the setting that override it, and the dark palette.

#include "darkpalette.h"
#include "theme_settings.h"
#include "themedetector.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStyle>
#include <QtTest>

class ThemeDetectorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid());
        useOwnSettings(m_settingsDir);
        QVERIFY(!ThemeDetector::isDarkThemeEnabled());
    }

    void luminanceRule_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<bool>("dark");
        QTest::newRow("100,100,100 gives 3200") << QColor(100, 100, 100) << false;
        QTest::newRow("99,100,100 gives 3189") << QColor(99, 100, 100) << true;
        QTest::newRow("100,99,100 gives 3184") << QColor(100, 99, 100) << true;
        QTest::newRow("100,100,99 gives 3195") << QColor(100, 100, 99) << true;
        QTest::newRow("blue gives 1275") << QColor(0, 0, 255) << true;
        QTest::newRow("green gives 4080") << QColor(0, 255, 0) << false;
        QTest::newRow("red gives 2805") << QColor(255, 0, 0) << true;
        QTest::newRow("black") << QColor(Qt::black) << true;
        QTest::newRow("white") << QColor(Qt::white) << false;
        QTest::newRow("dark palette window") << QColor("#353535") << true;
    }

    void luminanceRule()
    {
        QFETCH(QColor, window);
        QFETCH(bool, dark);
        QCOMPARE(ThemeDetector::isDarkWindowColor(window), dark);
    }

    void verdict_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("dark");
        const QStringList none{"kolmide"};
        const QStringList forceDark{"kolmide", "--force-dark"};
        QTest::newRow("no option, no key: desktop") << none << QVariant() << "" << false;
        QTest::newRow("setting absent: desktop") << none << QVariant() << "DarkMode" << false;
        QTest::newRow("setting true") << none << QVariant(true) << "DarkMode" << true;
        QTest::newRow("setting false") << none << QVariant(false) << "DarkMode" << false;
        QTest::newRow("option wins over setting false") << forceDark << QVariant(false) << "DarkMode" << true;
        QTest::newRow("option without key") << forceDark << QVariant() << "" << true;
        QTest::newRow("setting of another key is not read") << none << QVariant(true) << "Other" << false;
    }

    void verdict()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QVariant, setting);
        QFETCH(QString, key);
        QFETCH(bool, dark);

        QSettings settings;
        settings.clear();
        if (setting.isValid())
            settings.setValue(QStringLiteral("DarkMode"), setting);
        settings.sync();

        QCommandLineParser parser;
        QVERIFY(ThemeDetector::addOptions(parser));
        QVERIFY(parser.parse(arguments));

        ThemeDetector::init(&parser, key);
        QCOMPARE(ThemeDetector::isDarkThemeEnabled(), dark);
        QCOMPARE(ThemeDetector::iconColor(), dark ? QColor("#E2E2E2") : QColor("#3A3A3A"));
        if (dark)
            verifyDarkPaletteInstalled();
    }

    void noParser()
    {
        QSettings().setValue(QStringLiteral("DarkMode"), true);
        ThemeDetector::init(nullptr, QStringLiteral("DarkMode"));
        QVERIFY(ThemeDetector::isDarkThemeEnabled());
        ThemeDetector::init(nullptr, QString());
        QVERIFY(!ThemeDetector::isDarkThemeEnabled());
    }

    void optionIsAddedOnce()
    {
        QCommandLineParser parser;
        QVERIFY(ThemeDetector::addOptions(parser));
        QTest::ignoreMessage(QtWarningMsg, "QCommandLineParser: already having an option named \"force-dark\"");
        QVERIFY(!ThemeDetector::addOptions(parser));
        QVERIFY(parser.helpText().contains("Force the application to use the dark theme."));
        QVERIFY(!parser.parse({"kolmide", "--force-dark=1"}));
    }

    void reinitInstallsTheDarkPaletteAgain()
    {
        QCommandLineParser parser;
        ThemeDetector::addOptions(parser);
        QVERIFY(parser.parse({"kolmide", "--force-dark"}));
        ThemeDetector::init(&parser, QString());

        QApplication::setPalette(QPalette(Qt::white));
        qApp->setStyleSheet(QString());
        ThemeDetector::reinit();
        verifyDarkPaletteInstalled();
    }

    void reinitLeavesALightThemeAlone()
    {
        ThemeDetector::init(nullptr, QString());
        QVERIFY(!ThemeDetector::isDarkThemeEnabled());
        const QPalette light(Qt::white);
        QApplication::setPalette(light);
        ThemeDetector::reinit();
        QCOMPARE(QApplication::palette().color(QPalette::Window), light.color(QPalette::Window));
    }

    // Later rows override earlier ones for their group.
    void darkPaletteColours_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("role");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("window") << int(QPalette::Inactive) << int(QPalette::Window) << QColor("#353535");
        QTest::newRow("base") << int(QPalette::Active) << int(QPalette::Base) << QColor("#191919");
        QTest::newRow("tool tip") << int(QPalette::Active) << int(QPalette::ToolTipBase) << QColor("#2A82DA");
        QTest::newRow("highlighted text") << int(QPalette::Inactive) << int(QPalette::HighlightedText)
                                          << QColor(Qt::black);
        QTest::newRow("active button") << int(QPalette::Active) << int(QPalette::Button) << QColor("#404040");
        QTest::newRow("inactive button") << int(QPalette::Inactive) << int(QPalette::Button) << QColor("#353535");
        QTest::newRow("button text") << int(QPalette::Active) << int(QPalette::ButtonText) << QColor(Qt::white);
        QTest::newRow("disabled button text") << int(QPalette::Disabled) << int(QPalette::ButtonText)
                                              << QColor("#808080");
        QTest::newRow("disabled window text") << int(QPalette::Disabled) << int(QPalette::WindowText)
                                              << QColor("#808080");
        QTest::newRow("disabled text") << int(QPalette::Disabled) << int(QPalette::Text) << QColor("#808080");
        QTest::newRow("disabled light") << int(QPalette::Disabled) << int(QPalette::Light) << QColor("#353535");
        QTest::newRow("disabled base stays") << int(QPalette::Disabled) << int(QPalette::Base) << QColor("#191919");
    }

    void darkPaletteColours()
    {
        QFETCH(int, group);
        QFETCH(int, role);
        QFETCH(QColor, colour);
        QCOMPARE(darkPalette().color(QPalette::ColorGroup(group), QPalette::ColorRole(role)), colour);
    }

private:
    static void verifyDarkPaletteInstalled()
    {
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor("#353535"));
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Button), QColor("#404040"));
        QVERIFY(qApp->styleSheet().startsWith("QToolTip { color: #ffffff; background-color: #2a82da;"));
        // The style sheet hides the style behind its own; without it the
        // style installed underneath shows.
        qApp->setStyleSheet(QString());
        QCOMPARE(QApplication::style()->objectName(), QStringLiteral("fusion"));
    }

    QTemporaryDir m_settingsDir;
};

QTEST_MAIN(ThemeDetectorTest)
#include "theme_detector_test.moc"
