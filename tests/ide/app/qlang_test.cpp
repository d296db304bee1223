// The interface language on test catalogues in ":/testlang/": which
// catalogues are installed for a setting, and in which order. The test
// runs with the system locale ru_RU.

#include "qlang.h"

#include "temp_settings.h"

#include <QLocale>
#include <QTest>
#include <QTranslator>

class QLangTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void catalogues_data();
    void catalogues();
    void missingSettingMeansSystemLocale();
    void explicitStore();
};

void QLangTest::initTestCase()
{
    Q_INIT_RESOURCE(testlang);
    QCOMPARE(QLocale::system().name(), QStringLiteral("ru_RU"));
}

void QLangTest::catalogues_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("toolkit");
    QTest::addColumn<QString>("program");
    QTest::newRow("ru_RU") << "ru_RU" << true << "kolmide ru";
    QTest::newRow("ru") << "ru" << true << "kolmide ru";
    QTest::newRow("de_DE") << "de_DE" << true << "kolmide de";
    QTest::newRow("empty: system locale") << "" << true << "kolmide ru";
    QTest::newRow("en_US") << "en_US" << true << "";
    QTest::newRow("42") << "42" << false << "";
}

void QLangTest::catalogues()
{
    QFETCH(QString, language);
    QFETCH(bool, toolkit);
    QFETCH(QString, program);
    TempSettings settings;
    settings.set(QStringLiteral("UI/Language"), language);
    const QList<QTranslator *> installed =
        QLANG::installLanguage(QCoreApplication::instance(), nullptr, QStringLiteral("testlang"));
    const int expected = int(toolkit) + int(!program.isEmpty());
    QCOMPARE(installed.size(), expected);
    if (toolkit)
        QVERIFY(installed.first()->filePath().contains(QStringLiteral("/qt_")));
    // The program's catalogue is the first match by name, and it is in
    // force.
    QCOMPARE(QCoreApplication::translate("Probe", "catalogue"), program.isEmpty() ? "catalogue" : program);
    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QCOMPARE(QCoreApplication::translate("Probe", "catalogue"), QStringLiteral("catalogue"));
}

void QLangTest::missingSettingMeansSystemLocale()
{
    TempSettings settings;
    const QList<QTranslator *> installed =
        QLANG::installLanguage(QCoreApplication::instance(), nullptr, QStringLiteral("testlang"));
    QCOMPARE(installed.size(), 2);
    QCOMPARE(installed.last()->translate("Probe", "catalogue"), QStringLiteral("kolmide ru"));
    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

void QLangTest::explicitStore()
{
    TempSettings settings;
    settings.set(QStringLiteral("UI/Language"), QStringLiteral("ru_RU"));
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("other.ini")), QSettings::IniFormat);
    store.setValue(QStringLiteral("UI/Language"), QStringLiteral("de"));
    const QList<QTranslator *> installed =
        QLANG::installLanguage(QCoreApplication::instance(), &store, QStringLiteral("testlang"));
    QCOMPARE(installed.size(), 2);
    QCOMPARE(installed.last()->translate("Probe", "catalogue"), QStringLiteral("kolmide de"));
    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

QTEST_GUILESS_MAIN(QLangTest)
#include "qlang_test.moc"
