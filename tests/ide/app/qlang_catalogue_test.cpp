// The interface language with the catalogues the program carries in
// ":/lang/": "ru_RU" puts the IDE's texts (main menu, preferences, device
// messages) into Russian; "en_US" installs no catalogue of the program's
// and leaves them in English.

#include "language_catalogues.h"
#include "qlang.h"
#include "temp_settings.h"
#include "ide_resources.h"
#include "zuasmpreferences.h"
#include "zurovurazev.h"

#include <QMenuBar>
#include <QSettings>
#include <QTest>
#include <QTranslator>

class QLangCatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void texts_data();
    void texts();
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
    QTest::newRow("ru_RU") << "ru_RU" << QStringLiteral("Настройки KolmIDE") << QStringLiteral("Не открыт")
                           << QStringList{QStringLiteral("&Файл"), QStringLiteral("&Правка"), QStringLiteral("Проект"),
                                          QStringLiteral("Отладка"), QStringLiteral("Вид"),
                                          QStringLiteral("&Параметры"), QStringLiteral("&Справка")};
    QTest::newRow("en_US") << "en_US" << QStringLiteral("KolmIDE Preferences") << QStringLiteral("Not opened")
                           << QStringList{"Fi&le", "E&dit", "Project", "Debug", "View", "&Options", "&Help"};
}

void QLangCatalogueTest::texts()
{
    QFETCH(QString, language);
    QFETCH(QString, preferencesTitle);
    QFETCH(QString, deviceWarning);
    QFETCH(QStringList, menuTitles);
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

    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

QTEST_MAIN(QLangCatalogueTest)
#include "qlang_catalogue_test.moc"
