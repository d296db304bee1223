// Asked before any application object exists, the verdict is light, and it
// stays light for the rest of the process even on a dark desktop.

#include "themedetector.h"

#include <QApplication>
#include <QtTest>

static bool verdictBeforeApplication = true;

class ThemeWithoutAppTest : public QObject {
    Q_OBJECT

private slots:
    void lightWithoutApplication()
    {
        QVERIFY(!verdictBeforeApplication);
    }

    void staysLight()
    {
        QApplication::setPalette(QPalette(Qt::black));
        QVERIFY(!ThemeDetector::isDarkThemeEnabled());
        ThemeDetector::init(nullptr, QString());
        QVERIFY(!ThemeDetector::isDarkThemeEnabled());
        QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(Qt::black));
    }
};

int main(int argc, char **argv)
{
    verdictBeforeApplication = ThemeDetector::isDarkThemeEnabled();
    QApplication app(argc, argv);
    ThemeWithoutAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "theme_without_app_test.moc"
