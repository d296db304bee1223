// The preferences dialog against a temporary settings store: what an empty
// store shows, every key through its widget and back, what Cancel leaves,
// the language choice and its warning, the editor theme's pixmap cache, a
// dialog or its window gone while the warning is open, and the dialog in
// Russian with pictures of its tabs in both languages.

#include "fixedwidthfont.h"
#include "form_child.h"
#include "fresh_home.h"
#include "language_catalogues.h"
#include "modal_driver.h"
#include "qdiredit.h"
#include "temp_settings.h"
#include "zuasmpreferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>

namespace {

const QString languageKey = QStringLiteral("UI/Language");

// The value a form widget shows, in the form the tables below give it.
QVariant shown(QWidget *widget)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        return spin->value();
    if (auto *check = qobject_cast<QCheckBox *>(widget))
        return check->isChecked();
    if (auto *group = qobject_cast<QGroupBox *>(widget))
        return group->isChecked();
    if (auto *fonts = qobject_cast<QFontComboBox *>(widget))
        return fonts->currentFont().family();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentIndex();
    if (auto *dir = qobject_cast<QDirEdit *>(widget))
        return dir->text();
    qFatal("no value for %s", qPrintable(widget->objectName()));
    return QVariant();
}

void enter(QWidget *widget, const QVariant &value)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        return spin->setValue(value.toInt());
    if (auto *check = qobject_cast<QCheckBox *>(widget))
        return check->setChecked(value.toBool());
    if (auto *group = qobject_cast<QGroupBox *>(widget))
        return group->setChecked(value.toBool());
    if (auto *fonts = qobject_cast<QFontComboBox *>(widget))
        return fonts->setCurrentFont(QFont(value.toString()));
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->setCurrentIndex(value.toInt());
    if (auto *dir = qobject_cast<QDirEdit *>(widget))
        return dir->setText(value.toString());
    qFatal("cannot enter a value into %s", qPrintable(widget->objectName()));
}

QWidget *field(const QWidget &dialog, const QString &name)
{
    return formChild<QWidget>(dialog, name);
}

// What the store holds now, as text: an INI store reads every value back as
// a string, so true and 1 stay apart.
QString stored(const QString &key)
{
    return QSettings().value(key).toString();
}

QByteArray settingsFile()
{
    QSettings settings;
    settings.sync();
    QFile file(settings.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Changes a field on every tab, the device filter included.
void changeEverything(QWidget &dialog)
{
    enter(field(dialog, "dbgRunToMainCheck"), false);
    enter(field(dialog, "pollSpin"), 1000);
    enter(field(dialog, "langCombo"), 2);
    enter(field(dialog, "themeCombo"), 1);
    enter(field(dialog, "udpMeshPortSpin"), 4000);
    enter(field(dialog, "scanTcpCheck"), true);
    formChild<QSpinBox>(dialog, "vidSpin")->setValue(0x1234);
    enter(field(dialog, "editorTabWidth"), 2);
    enter(field(dialog, "editorThemeCombo"), 2);
}

// The visible texts of the dialog's own widgets by object name (the device
// filter and the directory edit translate their own texts).
QMap<QString, QString> formTexts(const QWidget &dialog)
{
    QMap<QString, QString> texts;
    texts.insert(QStringLiteral("windowTitle"), dialog.windowTitle());
    const auto *tabs = formChild<QTabWidget>(dialog, "tabWidget");
    for (int i = 0; i < tabs->count(); ++i)
        texts.insert(QStringLiteral("tab %1").arg(i), tabs->tabText(i));
    const QWidget *filter = formChild<QWidget>(dialog, "usbFilter");
    const QWidget *dir = formChild<QWidget>(dialog, "defaultDirEdit");
    for (QWidget *w : dialog.findChildren<QWidget *>()) {
        if (filter->isAncestorOf(w) || dir->isAncestorOf(w) || w == filter)
            continue;
        if (auto *label = qobject_cast<QLabel *>(w))
            texts.insert(w->objectName(), label->text());
        else if (auto *check = qobject_cast<QCheckBox *>(w))
            texts.insert(w->objectName(), check->text());
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            texts.insert(w->objectName(), group->title());
    }
    for (const char *name : {"themeCombo", "editorThemeCombo"}) {
        const auto *combo = formChild<QComboBox>(dialog, name);
        for (int i = 0; i < combo->count(); ++i)
            texts.insert(QStringLiteral("%1 %2").arg(name).arg(i), combo->itemText(i));
    }
    for (const char *name : {"pollSpin", "editorFontSizeSpin"})
        texts.insert(name, formChild<QSpinBox>(dialog, name)->suffix());
    return texts;
}

void savePictures(ZuASMPreferences &dialog, const QString &language)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *tabs = formChild<QTabWidget>(dialog, "tabWidget");
    const QStringList names{"general", "connection", "editor"};
    const QDir dir(QStringLiteral(KOLM_SCREENSHOT_DIR));
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        const QPixmap picture = dialog.grab();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.save(dir.filePath(QStringLiteral("preferences_%1_%2.png").arg(names.at(i), language))));
    }
}

} // namespace

class PreferencesDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
        initLanguageCatalogues();
    }

    // The default folder is one that exists: the documents folder, or the
    // home folder on a fresh account that has none.
    void defaultFolderExists_data()
    {
        QTest::addColumn<bool>("documents");
        QTest::newRow("documents folder") << true;
        QTest::newRow("fresh account without one") << false;
    }

    void defaultFolderExists()
    {
        QFETCH(bool, documents);
        FreshHome home;
        if (documents)
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Documents")));
        TempSettings temp;
        ZuASMPreferences dialog;
        QCOMPARE(shown(field(dialog, "defaultDirEdit")),
                 QVariant(documents ? home.filePath(QStringLiteral("Documents")) : home.path()));
    }

    void emptyStoreShowsDefaults()
    {
        TempSettings temp;
        ZuASMPreferences dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("ZuASMPreferences"));
        QCOMPARE(formChild<QTabWidget>(dialog, "tabWidget")->currentIndex(), 0);
        QCOMPARE(formChild<QComboBox>(dialog, "langCombo")->currentText(), QStringLiteral("System"));
        QCOMPARE(formChild<QComboBox>(dialog, "themeCombo")->currentText(), QStringLiteral("Light"));
        const QList<QPair<const char *, QVariant>> expected{
            {"pollSpin", 500},
            {"autoShowLogCheck", true},
            {"autoTimeSyncCheck", false},
            {"emuGroup", true},
            {"emuPortSpin", 5542},
            {"dbgRunToMainCheck", true},
            {"scanTcpCheck", false},
            {"connUdpGroup", false},
            {"udpMeshPortSpin", 54242},
            {"editorFontSizeSpin", QApplication::font().pointSize()},
            {"editorTabWidth", 4},
            {"editorSpacesCheck", true},
            {"editorThemeCombo", 0},
            {"editorAutoParCheck", true},
            {"editorAutoIndentCheck", true},
            {"editorWordWrapCheck", false},
            {"editorShowSpaceCheck", false},
            {"editorCleanWhitespaceCheck", false},
            {"editorFindToggle", false},
        };
        for (const auto &e : expected)
            QVERIFY2(shown(field(dialog, e.first)) == e.second, e.first);
        // The combo shows the family of the editor's fixed-width font, or its
        // first entry when its monospaced list lacks that family.
        const QString fixed = QFontInfo(fixedWidthFont()).family();
        const auto *fonts = formChild<QFontComboBox>(dialog, "editorFontCombo");
        QVERIFY(fonts->count() > 0);
        QCOMPARE(fonts->currentFont().family(), fonts->findText(fixed) >= 0 ? fixed : fonts->itemText(0));
        QCOMPARE(formChild<QComboBox>(dialog, "editorThemeCombo")->currentText(), QStringLiteral("Inherit"));
    }

    void okStoresEachField_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *widget, const QVariant &value, const char *key, const char *expected) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(key, expected))) << QString(widget) << value << QString(key) << QString(expected);
        };
        row("dbgRunToMainCheck", false, "DbgToMain", "false");
        row("emuGroup", false, "RemoteTCP/EMUEnabled", "false");
        row("emuPortSpin", 6000, "RemoteTCP/EMUPort", "6000");
        row("emuPortSpin", 0, "RemoteTCP/EMUPort", "0");
        row("autoTimeSyncCheck", true, "TimeSync", "true");
        row("themeCombo", 1, "DarkMode", "true");
        row("themeCombo", 0, "DarkMode", "false");
        row("defaultDirEdit", "/srv/kolm projects", "Directory", "/srv/kolm projects");
        row("scanTcpCheck", true, "RemoteTCP/Scan", "true");
        row("connUdpGroup", true, "RemoteUDP/Scan", "true");
        row("udpMeshPortSpin", 1234, "RemoteUDP/MeshPort", "1234");
        row("pollSpin", 250, "Poll", "250");
        row("autoShowLogCheck", false, "LogShow", "false");
        row("editorFontSizeSpin", 17, "Editor/FontSize", "17");
        row("editorAutoParCheck", false, "Editor/AutoPar", "false");
        row("editorAutoIndentCheck", false, "Editor/AutoIndent", "false");
        row("editorTabWidth", 8, "Editor/TabWidth", "8");
        row("editorSpacesCheck", false, "Editor/UseSpaces", "false");
        row("editorWordWrapCheck", true, "Editor/WordWrap", "true");
        row("editorShowSpaceCheck", true, "Editor/VisualizeSpaces", "true");
        row("editorCleanWhitespaceCheck", true, "Editor/CleanSpaces", "true");
        row("editorFindToggle", true, "Editor/FindToggle", "true");
        row("editorThemeCombo", 1, "Editor/Theme", "1");
        row("editorThemeCombo", 2, "Editor/Theme", "2");
    }

    void okStoresEachField()
    {
        QFETCH(QString, widget);
        QFETCH(QVariant, value);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TempSettings temp;
        {
            ZuASMPreferences dialog;
            enter(field(dialog, widget), value);
            dialog.accept();
        }
        QCOMPARE(stored(key), expected);
        ZuASMPreferences again;
        QCOMPARE(shown(field(again, widget)), value);
    }

    void okStoresTheFontFamily()
    {
        TempSettings temp;
        QString family;
        {
            ZuASMPreferences dialog;
            auto *fonts = formChild<QFontComboBox>(dialog, "editorFontCombo");
            // Another entry than the default, one that is a family of its
            // own rather than an alias the font system resolves elsewhere.
            const QString shownFirst = fonts->currentText();
            for (int i = 0; i < fonts->count() && family.isEmpty(); ++i) {
                const QString name = fonts->itemText(i);
                if (name != shownFirst && QFontInfo(QFont(name)).family() == name)
                    family = name;
            }
            if (family.isEmpty())
                QSKIP("the font list has a single family");
            fonts->setCurrentIndex(fonts->findText(family));
            dialog.accept();
        }
        QCOMPARE(stored("Editor/Font"), family);
        ZuASMPreferences again;
        QCOMPARE(shown(field(again, "editorFontCombo")).toString(), family);
    }

    // Values that the widgets' ranges or items change: shown so, and stored
    // so by an unchanged OK.
    void storedValueLimitedByItsWidget_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QVariant>("shows");
        QTest::addColumn<QString>("stores");
        QTest::newRow("poll below range") << "Poll" << QVariant(50) << "pollSpin" << QVariant(100) << "100";
        QTest::newRow("poll above range") << "Poll" << QVariant(9000) << "pollSpin" << QVariant(5000) << "5000";
        QTest::newRow("poll past int") << "Poll" << QVariant("4294967295") << "pollSpin" << QVariant(5000) << "5000";
        QTest::newRow("emulator port 0") << "RemoteTCP/EMUPort" << QVariant(0) << "emuPortSpin" << QVariant(0) << "0";
        QTest::newRow("emulator port past range")
            << "RemoteTCP/EMUPort" << QVariant(70000) << "emuPortSpin" << QVariant(65535) << "65535";
        QTest::newRow("mesh port 0") << "RemoteUDP/MeshPort" << QVariant(0) << "udpMeshPortSpin" << QVariant(0) << "0";
        QTest::newRow("tab width") << "Editor/TabWidth" << QVariant(150) << "editorTabWidth" << QVariant(99) << "99";
        QTest::newRow("font size") << "Editor/FontSize" << QVariant(2) << "editorFontSizeSpin" << QVariant(5) << "5";
        QTest::newRow("editor theme 7") << "Editor/Theme" << QVariant(7) << "editorThemeCombo" << QVariant(0) << "0";
        QTest::newRow("editor theme -1") << "Editor/Theme" << QVariant(-1) << "editorThemeCombo" << QVariant(0) << "0";
        QTest::newRow("dark mode") << "DarkMode" << QVariant(true) << "themeCombo" << QVariant(1) << "true";
    }

    void storedValueLimitedByItsWidget()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, widget);
        QFETCH(QVariant, shows);
        QFETCH(QString, stores);
        TempSettings temp;
        temp.set(key, value);
        ZuASMPreferences dialog;
        QCOMPARE(shown(field(dialog, widget)), shows);
        dialog.accept();
        QCOMPARE(stored(key), stores);
    }

    void okStoresTheDeviceFilter()
    {
        TempSettings temp;
        ZuASMPreferences dialog;
        formChild<QSpinBox>(dialog, "vidSpin")->setValue(0x1234);
        dialog.accept();
        QCOMPARE(QSettings().value("USB/VID").toInt(), 0x1234);
    }

    void editorThemeChangeEmptiesPixmapCache_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("7 shown as Inherit, stored as 0") << QVariant(7) << -1 << true;
        QTest::newRow("absent, Dark chosen") << QVariant() << 2 << true;
        QTest::newRow("Lite to Dark") << QVariant(1) << 2 << true;
        QTest::newRow("unchanged Dark") << QVariant(2) << -1 << false;
        QTest::newRow("absent, unchanged") << QVariant() << -1 << false;
    }

    void editorThemeChangeEmptiesPixmapCache()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, chosen);
        QFETCH(bool, emptied);
        TempSettings temp;
        if (stored.isValid())
            temp.set("Editor/Theme", stored);
        ZuASMPreferences dialog;
        if (chosen >= 0)
            enter(field(dialog, "editorThemeCombo"), chosen);
        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::red);
        QVERIFY(QPixmapCache::insert(QStringLiteral("old scheme"), pixmap));
        dialog.accept();
        QPixmap found;
        QCOMPARE(!QPixmapCache::find(QStringLiteral("old scheme"), &found), emptied);
        QPixmapCache::clear();
    }

    void cancelStoresNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("window closed") << "close";
    }

    void cancelStoresNothing()
    {
        QFETCH(QString, how);
        TempSettings temp;
        temp.set(languageKey, "ru_RU");
        temp.set("Poll", 700);
        const QByteArray before = settingsFile();
        QVERIFY(!before.isEmpty());
        ModalDriver modal;
        modal.then([how](QWidget *window) {
            changeEverything(*window);
            if (how == "cancel")
                formChild<QDialogButtonBox>(*window, "buttonBox")->button(QDialogButtonBox::Cancel)->click();
            else if (how == "escape")
                QTest::keyClick(window, Qt::Key_Escape);
            else
                window->close();
        });
        ZuASMPreferences dialog;
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.unanswered(), 0);
        QCOMPARE(settingsFile(), before);
    }

    void okThroughExecStoresBeforeReturning()
    {
        TempSettings temp;
        ModalDriver modal;
        modal.then([](QWidget *window) {
            changeEverything(*window);
            formChild<QDialogButtonBox>(*window, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        });
        ZuASMPreferences dialog;
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(stored("Poll"), QStringLiteral("1000"));
        QCOMPARE(stored("DbgToMain"), QStringLiteral("false"));
        QCOMPARE(stored("Editor/TabWidth"), QStringLiteral("2"));
        QCOMPARE(stored(languageKey), QStringLiteral("ru_RU"));
        QCOMPARE(modal.unanswered(), 0);
    }

    void languageChoice_data()
    {
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("warns");
        QTest::addColumn<QString>("after");
        const QString system = QStringLiteral("System");
        const QString english = QStringLiteral("English (United States)");
        const QString russian = QStringLiteral("Russian (Russia)");
        QTest::newRow("absent, unchanged") << QVariant() << system << -1 << false << "";
        QTest::newRow("absent, Russian chosen") << QVariant() << system << 2 << false << "ru_RU";
        QTest::newRow("empty, English chosen") << QVariant("") << system << 1 << false << "en_US";
        QTest::newRow("ru_RU, unchanged") << QVariant("ru_RU") << russian << -1 << false << "ru_RU";
        QTest::newRow("ru_RU, System chosen") << QVariant("ru_RU") << russian << 0 << true << "";
        QTest::newRow("en_US, unchanged") << QVariant("en_US") << english << -1 << false << "en_US";
        QTest::newRow("en_US, Russian chosen") << QVariant("en_US") << english << 2 << true << "ru_RU";
        QTest::newRow("de_DE, unchanged") << QVariant("de_DE") << system << -1 << true << "";
    }

    void languageChoice()
    {
        QFETCH(QVariant, before);
        QFETCH(QString, selected);
        QFETCH(int, chosen);
        QFETCH(bool, warns);
        QFETCH(QString, after);
        TempSettings temp;
        if (before.isValid())
            temp.set(languageKey, before);
        ModalDriver modal;
        if (warns)
            modal.press(QMessageBox::Ok);
        ZuASMPreferences dialog;
        auto *combo = formChild<QComboBox>(dialog, "langCombo");
        QCOMPARE(combo->currentText(), selected);
        if (chosen >= 0)
            combo->setCurrentIndex(chosen);
        dialog.accept();
        // The settings are stored before the warning shows.
        QCOMPARE(stored(languageKey), after);
        QCOMPARE(QApplication::activeModalWidget() != nullptr, warns);
        QVERIFY(modal.waitSeen(warns ? 1 : 0));
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(modal.seen().size(), warns ? 1 : 0);
        QCOMPARE(modal.unanswered(), 0);
        if (warns) {
            QCOMPARE(modal.seen().at(0).title, QStringLiteral("Change Language"));
            QCOMPARE(modal.seen().at(0).text, QStringLiteral("Language will be changed after an application restart."));
        }
        QVERIFY(QSettings().contains(languageKey));
        QCOMPARE(stored(languageKey), after);
    }

    // The warning opens once the dialog is done: the dialog closed or
    // deleted while it is open, or its window deleted with the dialog and
    // the warning, must neither crash nor lose what the user accepted.
    void dialogGoneDuringLanguageWarning_data()
    {
        QTest::addColumn<QString>("gone");
        QTest::newRow("closed") << "closed";
        QTest::newRow("deleted") << "deleted";
        QTest::newRow("window deleted") << "window deleted";
    }

    void dialogGoneDuringLanguageWarning()
    {
        QFETCH(QString, gone);
        TempSettings temp;
        temp.set(languageKey, "ru_RU");
        QPointer<QWidget> window = new QWidget;
        window->show();
        QPointer<ZuASMPreferences> dialog = new ZuASMPreferences(window);
        ModalDriver modal;
        modal.then([](QWidget *form) {
            changeEverything(*form);
            formChild<QComboBox>(*form, "langCombo")->setCurrentIndex(0);
            formChild<QDialogButtonBox>(*form, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        });
        modal.then([&dialog, &window, gone](QWidget *box) {
            QPointer<QWidget> warning = box;
            if (gone == "closed")
                dialog->close();
            else if (gone == "deleted")
                delete dialog;
            else
                delete window;
            if (warning)
                qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(dialog->exec(), int(QDialog::Accepted));
        QVERIFY(modal.waitSeen(2));
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(modal.seen().at(1).title, QStringLiteral("Change Language"));
        QCOMPARE(modal.unanswered(), 0);
        QCOMPARE(dialog.isNull(), gone != "closed");
        QCOMPARE(window.isNull(), gone == "window deleted");
        delete dialog;
        delete window;
        QCOMPARE(stored(languageKey), QString());
        QCOMPARE(stored("Poll"), QStringLiteral("1000"));
        QCOMPARE(stored("Editor/Theme"), QStringLiteral("2"));
        QCOMPARE(stored("Editor/TabWidth"), QStringLiteral("2"));
        QCOMPARE(stored("RemoteUDP/MeshPort"), QStringLiteral("4000"));
    }

    void picturesInEnglish()
    {
        TempSettings temp;
        temp.set("Directory", QDir::tempPath());
        ZuASMPreferences dialog;
        savePictures(dialog, QStringLiteral("en"));
    }

    // Every text of the form, the language warning and texts of other parts
    // come out in Russian with the carried catalogue.
    void russianCatalogue()
    {
        TempSettings temp;
        QMap<QString, QString> english;
        {
            ZuASMPreferences dialog;
            english = formTexts(dialog);
        }
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/lang/kolmide_ru.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));

        temp.set(languageKey, "en_US");
        temp.set("Directory", QDir::tempPath());
        ZuASMPreferences dialog;
        const QMap<QString, QString> russian = formTexts(dialog);
        QCOMPARE(russian.keys(), english.keys());
        for (const QString &name : english.keys())
            QVERIFY2(russian.value(name) != english.value(name), qPrintable(name + ": " + english.value(name)));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Настройки KolmIDE"));
        // Language names and "System" stay in English.
        QCOMPARE(formChild<QComboBox>(dialog, "langCombo")->itemText(0), QStringLiteral("System"));

        QCOMPARE(QCoreApplication::translate("USBDeviceFilterBox", "Device Filter"), QStringLiteral("Фильтр устройств"));
        QCOMPARE(QCoreApplication::translate("KolmLocalDebugger", "emulator process has crashed"),
                 QStringLiteral("процесс эмулятора аварийно завершился"));

        savePictures(dialog, QStringLiteral("ru"));

        ModalDriver modal;
        modal.press(QMessageBox::Ok);
        formChild<QComboBox>(dialog, "langCombo")->setCurrentIndex(2);
        dialog.accept();
        QVERIFY(modal.waitSeen(1));
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Смена языка"));
        QCOMPARE(modal.seen().at(0).text, QStringLiteral("Язык сменится после перезапуска приложения."));
        QCoreApplication::removeTranslator(&translator);
    }
};

QTEST_MAIN(PreferencesDialogTest)
#include "preferences_dialog_test.moc"
