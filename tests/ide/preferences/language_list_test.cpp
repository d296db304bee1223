// The languages on offer and the language combo, with the application's
// Russian catalogue and two test catalogues beside it in ":/lang/":
// "kolmide.qm" (no "_", so no language) and "extra_pt_BR.qm" (a language
// and a country).

#include "qlang_list.h"
#include "temp_settings.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QtTest>

class LanguageListTest : public QObject {
    Q_OBJECT

private slots:
    void languagesInFileNameOrder()
    {
        const QList<QLocale> languages = QLANG::availableLanguages();
        QCOMPARE(languages.size(), 3);
        QCOMPARE(languages.at(0).name(), QStringLiteral("en_US"));
        QCOMPARE(languages.at(1).name(), QStringLiteral("pt_BR"));
        QCOMPARE(languages.at(2).name(), QStringLiteral("ru_RU"));
    }

    void comboEntries()
    {
        TempSettings temp;
        QSettings settings;
        QComboBox combo;
        QLANG::setupLangCombo(settings, &combo);
        // A second call rebuilds the list rather than adding to it.
        QLANG::setupLangCombo(settings, &combo);
        QStringList texts;
        for (int i = 0; i < combo.count(); ++i)
            texts << combo.itemText(i);
        QCOMPARE(texts, (QStringList{"System", "English (United States)", "Portuguese (Brazil)", "Russian (Russia)"}));
        QCOMPARE(combo.itemData(0, Qt::UserRole).toLocale().language(), QLocale::C);
        QCOMPARE(combo.itemData(3, Qt::UserRole).toLocale().name(), QStringLiteral("ru_RU"));
        QCOMPARE(combo.itemData(2, Qt::UserRole).toLocale().name(), QStringLiteral("pt_BR"));
    }

    void storedLanguageSelects_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("selected");
        const QString system = QStringLiteral("System");
        QTest::newRow("absent") << QVariant() << system;
        QTest::newRow("empty") << QVariant(QString()) << system;
        QTest::newRow("ru_RU") << QVariant("ru_RU") << "Russian (Russia)";
        QTest::newRow("ru") << QVariant("ru") << "Russian (Russia)";
        QTest::newRow("en_US") << QVariant("en_US") << "English (United States)";
        QTest::newRow("pt_BR") << QVariant("pt_BR") << "Portuguese (Brazil)";
        QTest::newRow("other country of a language on offer") << QVariant("pt_PT") << system;
        QTest::newRow("language without catalogue") << QVariant("de_DE") << system;
        QTest::newRow("not a locale") << QVariant("klingon") << system;
        QTest::newRow("C locale") << QVariant("C") << system;
    }

    void storedLanguageSelects()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, selected);
        TempSettings temp;
        if (stored.isValid())
            temp.set(QStringLiteral("UI/Language"), stored);
        QSettings settings;
        QComboBox combo;
        // A selection left over from an earlier fill must not survive.
        combo.addItems({"a", "b", "c"});
        combo.setCurrentIndex(2);
        QLANG::setupLangCombo(settings, &combo);
        QCOMPARE(combo.currentText(), selected);
    }
};

QTEST_MAIN(LanguageListTest)
#include "language_list_test.moc"
