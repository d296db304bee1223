// The interface language with the catalogues the program carries in
// ":/lang/": "ru_RU" puts the IDE's texts (main menu, preferences, device
// messages) and Qt's own (standard buttons, the line edit's context menu)
// into Russian; "en_US" installs no catalogue of the program's and leaves
// them in English.

#include "language_catalogues.h"
#include "qlang.h"
#include "temp_settings.h"
#include "ide_resources.h"
#include "zuasmpreferences.h"
#include "zurovurazev.h"

#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTranslator>

class QLangCatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void texts_data();
    void texts();
    void pluralForms_data();
    void pluralForms();
};

void QLangCatalogueTest::initTestCase()
{
    initLanguageCatalogues();
    initIdeResources();
}

void QLangCatalogueTest::texts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("preferencesTitle");
    QTest::addColumn<QString>("deviceWarning");
    QTest::addColumn<QStringList>("menuTitles");
    QTest::addColumn<QStringList>("qtTexts");
    QTest::newRow("ru_RU") << "ru_RU" << QStringLiteral("Настройки KolmIDE") << QStringLiteral("Не открыт")
                           << QStringList{QStringLiteral("&Файл"), QStringLiteral("&Правка"), QStringLiteral("Проект"),
                                          QStringLiteral("Отладка"), QStringLiteral("Вид"),
                                          QStringLiteral("&Параметры"), QStringLiteral("&Справка")}
                           << QStringList{QStringLiteral("Отмена"), QStringLiteral("&Да"), QStringLiteral("&Копировать")};
    QTest::newRow("en_US") << "en_US" << QStringLiteral("KolmIDE Preferences") << QStringLiteral("Not opened")
                           << QStringList{"Fi&le", "E&dit", "Project", "Debug", "View", "&Options", "&Help"}
                           << QStringList{"Cancel", "&Yes", "&Copy"};
}

void QLangCatalogueTest::texts()
{
    QFETCH(QString, language);
    QFETCH(QString, preferencesTitle);
    QFETCH(QString, deviceWarning);
    QFETCH(QStringList, menuTitles);
    QFETCH(QStringList, qtTexts);
    TempSettings settings;
    settings.set(QStringLiteral("UI/Language"), language);
    // No check for updates runs by itself.
    settings.set(QStringLiteral("Updates/Auto"), false);
    const QList<QTranslator *> installed =
        QLANG::installLanguage(QCoreApplication::instance(), nullptr, QStringLiteral("lang"));

    QStringList programCatalogues;
    for (const QTranslator *t : installed)
        if (t->filePath().startsWith(QStringLiteral(":/lang/")))
            programCatalogues << t->filePath();
    const bool russian = language.startsWith(QStringLiteral("ru"));
    QCOMPARE(programCatalogues, russian ? QStringList{QStringLiteral(":/lang/kolmide_ru.qm")} : QStringList());

    {
        ZuASMPreferences dialog;
        QCOMPARE(dialog.windowTitle(), preferencesTitle);
    }
    {
        ZuROVUrazev window;
        QStringList titles;
        for (const QAction *menu : window.menuBar()->actions())
            if (menu->menu())
                titles << menu->text();
        QCOMPARE(titles, menuTitles);
    }
    QCOMPARE(QCoreApplication::translate("ZuHalHidMessenger", "Not opened"), deviceWarning);
    {
        QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
        QCOMPARE((QStringList{box.button(QDialogButtonBox::Cancel)->text(), box.button(QDialogButtonBox::Yes)->text(),
                              QCoreApplication::translate("QLineEdit", "&Copy")}),
                 qtTexts);
    }

    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

// Russian numbers take three forms: 1 and 21, 2 to 4 and 22, the others.
void QLangCatalogueTest::pluralForms_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("tooLarge");
    QTest::newRow("1") << 1 << "В устройство записан 1 байт скрипта" << "Невозможно записать скрипт: он больше 1 байта";
    QTest::newRow("3") << 3 << "В устройство записано 3 байта скрипта" << "Невозможно записать скрипт: он больше 3 байт";
    QTest::newRow("11") << 11 << "В устройство записано 11 байт скрипта" << "Невозможно записать скрипт: он больше 11 байт";
    QTest::newRow("21") << 21 << "В устройство записан 21 байт скрипта" << "Невозможно записать скрипт: он больше 21 байта";
    QTest::newRow("65536") << 65536 << "В устройство записано 65536 байт скрипта"
                           << "Невозможно записать скрипт: он больше 65536 байт";
}

void QLangCatalogueTest::pluralForms()
{
    QFETCH(int, count);
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/kolmide_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    const QString written =
        QCoreApplication::translate("ZuROVUrazev", "Written %n bytes of script to the device", nullptr, count);
    const QString tooLarge =
        QCoreApplication::translate("ZuROVUrazev", "Cannot write the script - it is larger than %n bytes", nullptr, count);
    QCoreApplication::removeTranslator(&russian);
    QTEST(written, "written");
    QTEST(tooLarge, "tooLarge");
}

QTEST_MAIN(QLangCatalogueTest)
#include "qlang_catalogue_test.moc"
