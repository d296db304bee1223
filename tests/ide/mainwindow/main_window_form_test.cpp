// The main window's form on a bare QMainWindow: every action with its
// texts, shortcut and check flag, the menus and tool bars in order, the six
// pages, the message console and chat page widgets, and the few wirings the
// form makes itself.

#include "ui_zurovurazev.h"

#include "form_child.h"

#include <QDir>
#include <QGroupBox>
#include <QMainWindow>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

struct ActionRow {
    const char *name;
    const char *text;
    const char *toolTip;
    const char *shortcut;
    bool checkable;
};

// The action table of the main window, in the form's order.
const ActionRow kActions[] = {
    {"actionAbout", "&About", "", "", false},
    {"actionExit", "&Exit", "", "Ctrl+Q", false},
    {"actionReset_Device", "&Factory Reset", "", "", false},
    {"actionReboot_Device", "&Reboot Device", "", "", false},
    {"actionPreferences", "&Preferences", "", "", false},
    {"actionFirmware_Update", "&Firmware Update", "", "", false},
    {"actionKey", "&Key", "", "", false},
    {"actionUSB_ModeSwitch", "USB ModeSwitch", "", "", false},
    {"actionTime_Sync", "Time Sync", "", "", false},
    {"actionConnect", "Connect", "Device connection", "", false},
    {"actionRemote", "Remote", "Connect to a remote device", "", false},
    {"actionDownload", "Download", "Pull script from the device", "", false},
    {"actionUpload", "Upload", "Push script to the device", "Ctrl+U", false},
    {"actionLaunch", "Launch", "Start/stop the script", "", false},
    {"actionEditor", "Editor", "", "", false},
    {"actionDevice_Setup", "Device Setup", "", "", false},
    {"actionDebugger", "Debugger", "", "", false},
    {"actionTerminal", "Messages", "Send messages to the device", "", false},
    {"actionChat", "Chat", "", "", false},
    {"actionNew_Script", "New", "New Project", "Ctrl+N", false},
    {"actionOpen_Script", "Open", "Open Project", "Ctrl+O", false},
    {"actionSave_Script", "Save", "Save Project", "Ctrl+S", false},
    {"actionSave_Script_As", "Save As", "Save Project As", "", false},
    {"actionCopy", "Copy", "", "", false},
    {"actionCut", "Cut", "", "", false},
    {"actionPaste", "Paste", "", "", false},
    {"actionFind_Replace", "Find && Replace", "", "", false},
    {"actionGPIO_Helper", "GPIO Helper", "", "Ctrl+G", false},
    {"actionBuild", "Build", "", "Ctrl+B", false},
    {"actionStart_Debugging", "Start", "Start Debugging", "Ctrl+D", false},
    {"actionRestart_Debugging", "Restart", "Restart Debugging", "", false},
    {"actionDebug_Step", "Step", "Execute next instruction", "F11", false},
    {"actionContinue", "Continue", "Continue program execution", "F5", false},
    {"actionInterrupt", "Interrupt", "Interrupt the program execution", "", false},
    {"actionDebug_Next", "Next", "Step Over", "F10", false},
    {"actionClose_Script", "Close", "Close project", "", false},
    {"actionLog", "Log", "Show/hide the log view", "Ctrl+L", true},
    {"actionAutoStart", "AutoStart", "Automatic script execution on/off", "", true},
    {"actionImport_Script", "Import", "Import a Kolm project", "", false},
    {"actionExport_Script", "Export", "Export the current Kolm project", "", false},
    {"actionKolm_Help", "Help", "KolM Quick Reference", "", false},
    {"actionClearLog", "Clear", "Clear Log", "", false},
    {"actionCheck_for_updates", "Check for Updates", "", "", false},
};

// Entries of a menu or tool bar by object name; "|" is a separator.
QStringList entries(const QWidget *bar)
{
    QStringList names;
    for (const QAction *a : bar->actions())
        names << (a->isSeparator() ? QStringLiteral("|") : a->menu() ? a->menu()->objectName() : a->objectName());
    return names;
}

} // namespace

class MainWindowFormTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void actions_data();
    void actions();
    void everyActionOnce();
    void menusAndToolBars_data();
    void menusAndToolBars();
    void menuBarOrder();
    void toolBarAreas();
    void pagesInOrder();
    void consoleWidgets_data();
    void consoleWidgets();
    void initialState();
    void logActionTogglesLog();
    void retranslateKeepsChatGroupUntitled();
    void chatTabOrder();
    void shortcutTriggersAction();
    void picture();

private:
    QMainWindow *m_window = nullptr;
    Ui_ZuROVUrazev *m_ui = nullptr;
};

void MainWindowFormTest::init()
{
    m_window = new QMainWindow;
    m_ui = new Ui_ZuROVUrazev;
    m_ui->setupUi(m_window);
}

void MainWindowFormTest::cleanup()
{
    delete m_window;
    delete m_ui;
    m_window = nullptr;
    m_ui = nullptr;
}

void MainWindowFormTest::actions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("checkable");
    for (const ActionRow &row : kActions)
        QTest::newRow(row.name) << QString::fromUtf8(row.text) << QString::fromUtf8(row.toolTip)
                                << QString::fromUtf8(row.shortcut) << row.checkable;
}

void MainWindowFormTest::actions()
{
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QString, shortcut);
    QFETCH(bool, checkable);
    auto *action = formChild<QAction>(*m_window, QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(action->parent(), m_window);
    QCOMPARE(action->text(), text);
    // An action without a tool tip of its own shows its text without the
    // mnemonic.
    if (!toolTip.isEmpty())
        QCOMPARE(action->toolTip(), toolTip);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isCheckable(), checkable);
}

void MainWindowFormTest::everyActionOnce()
{
    QStringList expected;
    for (const ActionRow &row : kActions)
        expected << QString::fromUtf8(row.name);
    QStringList found;
    for (const QAction *a : m_window->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly))
        if (!a->objectName().isEmpty())
            found << a->objectName();
    QCOMPARE(found, expected);
}

void MainWindowFormTest::menusAndToolBars_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("expected");
    const QString sep = QStringLiteral("|");
    QTest::newRow("menuFile") << "Fi&le" << QStringList{"actionExit"};
    QTest::newRow("menuEdit") << "E&dit" << QStringList{"actionPreferences", "actionKey"};
    QTest::newRow("menuProject") << "Project"
                                 << QStringList{"actionNew_Script", "actionOpen_Script", "actionSave_Script",
                                                "actionClose_Script", "actionImport_Script", "actionExport_Script",
                                                sep, "actionBuild", "actionGPIO_Helper"};
    QTest::newRow("menuDebug") << "Debug"
                               << QStringList{"actionStart_Debugging", "actionRestart_Debugging", "actionDebug_Step",
                                              "actionContinue", "actionInterrupt"};
    QTest::newRow("menuView") << "View"
                              << QStringList{"actionEditor", "actionDevice_Setup", "actionDebugger", "actionTerminal",
                                             "actionChat"};
    QTest::newRow("menuOptions") << "&Options"
                                 << QStringList{"actionTime_Sync", sep, "actionReboot_Device", "actionReset_Device",
                                                sep, "actionUSB_ModeSwitch", "actionFirmware_Update"};
    QTest::newRow("menuHelp") << "&Help" << QStringList{"actionCheck_for_updates", "actionAbout"};
    QTest::newRow("connectionBar") << "Connection" << QStringList{"actionConnect", "actionRemote"};
    QTest::newRow("deviceBar") << "Device" << QStringList{"actionUpload", "actionLaunch", "actionStart_Debugging"};
    QTest::newRow("codeToolbar") << "Code Editor"
                                 << QStringList{"actionNew_Script", "actionOpen_Script", "actionSave_Script",
                                                "actionGPIO_Helper", "actionBuild", sep, "actionCopy", "actionCut",
                                                "actionPaste", "actionFind_Replace"};
    QTest::newRow("viewToolbar") << "Views"
                                 << QStringList{"actionEditor", "actionDevice_Setup", "actionDebugger",
                                                "actionTerminal", "actionChat", "actionKolm_Help", sep, "actionLog",
                                                "actionClearLog", "actionAutoStart"};
    QTest::newRow("debugToolbar") << "Debugger"
                                  << QStringList{"actionRestart_Debugging", "actionDebug_Step", "actionDebug_Next",
                                                 "actionContinue", "actionInterrupt"};
}

void MainWindowFormTest::menusAndToolBars()
{
    QFETCH(QString, title);
    QFETCH(QStringList, expected);
    auto *bar = formChild<QWidget>(*m_window, QString::fromUtf8(QTest::currentDataTag()));
    if (auto *menu = qobject_cast<QMenu *>(bar))
        QCOMPARE(menu->title(), title);
    else
        QCOMPARE(qobject_cast<QToolBar *>(bar)->windowTitle(), title);
    QCOMPARE(entries(bar), expected);
}

void MainWindowFormTest::menuBarOrder()
{
    QCOMPARE(m_window->menuBar(), m_ui->menubar);
    QCOMPARE(entries(m_ui->menubar), (QStringList{"menuFile", "menuEdit", "menuProject", "menuDebug", "menuView",
                                                   "menuOptions", "menuHelp"}));
    // Download and Save As are in no menu and no tool bar.
    for (QAction *hidden : {m_ui->actionDownload, m_ui->actionSave_Script_As})
        QVERIFY(hidden->associatedWidgets().isEmpty());
}

void MainWindowFormTest::toolBarAreas()
{
    const QList<QToolBar *> bars = m_window->findChildren<QToolBar *>();
    QStringList order;
    for (const QToolBar *bar : bars)
        order << bar->objectName();
    QCOMPARE(order, (QStringList{"connectionBar", "deviceBar", "codeToolbar", "viewToolbar", "debugToolbar"}));
    QCOMPARE(m_window->toolBarArea(m_ui->viewToolbar), Qt::LeftToolBarArea);
    for (QToolBar *bar : {m_ui->connectionBar, m_ui->deviceBar, m_ui->codeToolbar, m_ui->debugToolbar})
        QCOMPARE(m_window->toolBarArea(bar), Qt::TopToolBarArea);
}

void MainWindowFormTest::pagesInOrder()
{
    const QStringList expected{"projectPage", "devicePage", "zudbgPage", "zumsgPage", "zuchatPage",
                               "kolmReferencePage"};
    QCOMPARE(m_ui->stackedWidget->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(m_ui->stackedWidget->widget(i)->objectName(), expected.at(i));
        QCOMPARE(m_ui->stackedWidget->widget(i)->parentWidget(), m_ui->stackedWidget);
    }
    QVERIFY(qobject_cast<KolmProjectWindow *>(m_ui->stackedWidget->widget(0)));
    QVERIFY(qobject_cast<ZuASMDebugger *>(m_ui->stackedWidget->widget(2)));
    // The splitter holds the pages, the log and the second stack.
    QCOMPARE(m_ui->splitter->orientation(), Qt::Vertical);
    QCOMPARE(m_ui->splitter->widget(0), m_ui->stackedWidget);
    QCOMPARE(m_ui->splitter->widget(1), m_ui->logBrowser);
    QCOMPARE(m_ui->splitter->widget(2), m_ui->stackedWidget_2);
    QCOMPARE(m_ui->splitter->handleWidth(), 2);
    QVERIFY(!m_ui->splitter->childrenCollapsible());
    QCOMPARE(m_ui->stackedWidget_2->count(), 2);
    QCOMPARE(m_window->size(), QSize(1051, 711));
    QCOMPARE(m_window->objectName(), QStringLiteral("ZuROVUrazev"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("KolmIDE"));
}

void MainWindowFormTest::consoleWidgets_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    // Message console.
    QTest::newRow("groupBox_3") << "zumsgPage" << "QGroupBox" << "KOLM Virtual Machine";
    QTest::newRow("label_10") << "zumsgPage" << "QLabel" << "Send:";
    QTest::newRow("msgKolmTxDataEdit") << "zumsgPage" << "QLineEdit" << "";
    QTest::newRow("msgKolmTypeCombo") << "zumsgPage" << "QComboBox" << "Hex";
    QTest::newRow("label_11") << "zumsgPage" << "QLabel" << "Received:";
    QTest::newRow("msgKolmRxDataEdit") << "zumsgPage" << "QLineEdit" << "";
    QTest::newRow("msgKolmSendButton") << "zumsgPage" << "QPushButton" << "Send";
    QTest::newRow("groupBox") << "zumsgPage" << "QGroupBox" << "Device Core";
    QTest::newRow("label") << "zumsgPage" << "QLabel" << "Command";
    QTest::newRow("label_2") << "zumsgPage" << "QLabel" << "Parameter";
    QTest::newRow("label_3") << "zumsgPage" << "QLabel" << "Data";
    QTest::newRow("msgMcHexRadio") << "zumsgPage" << "QRadioButton" << "Hex";
    QTest::newRow("msgMcAsciiRadio") << "zumsgPage" << "QRadioButton" << "Ascii";
    QTest::newRow("msgMcSendButton") << "zumsgPage" << "QPushButton" << "Send";
    QTest::newRow("msgMcCommandInput") << "zumsgPage" << "QNumberInput" << "";
    QTest::newRow("msgMcParamInput") << "zumsgPage" << "QNumberInput" << "";
    QTest::newRow("msgMcDataInput") << "zumsgPage" << "QLineEdit" << "";
    QTest::newRow("msgHalGroup") << "zumsgPage" << "QGroupBox" << "Hardware Abstraction Layer";
    QTest::newRow("msgHalPeriphCombo") << "zumsgPage" << "QComboBox" << "";
    QTest::newRow("msgHalRegisterCombo") << "zumsgPage" << "QComboBox" << "";
    QTest::newRow("msgHalRegTypeCombo") << "zumsgPage" << "QComboBox" << "(as Integer)";
    QTest::newRow("msgHalRegValueStack") << "zumsgPage" << "QStackedWidget" << "";
    QTest::newRow("msgHalValueInput") << "zumsgPage" << "QNumberInput" << "";
    QTest::newRow("msgHalGetButton") << "zumsgPage" << "QPushButton" << "Get";
    QTest::newRow("msgHalSetButton") << "zumsgPage" << "QPushButton" << "Set";
    QTest::newRow("msgHalDataEdit") << "zumsgPage" << "QLineEdit" << "";
    QTest::newRow("msgHalHexRadio") << "zumsgPage" << "QRadioButton" << "Hex";
    QTest::newRow("msgHalAsciiRadio") << "zumsgPage" << "QRadioButton" << "Ascii";
    QTest::newRow("msgHalReadButton") << "zumsgPage" << "QPushButton" << "Read";
    QTest::newRow("msgHalWriteButton") << "zumsgPage" << "QPushButton" << "Write";
    QTest::newRow("msgHalTransceiveButton") << "zumsgPage" << "QPushButton" << "Send&&Receive";
    // Device page.
    QTest::newRow("deviceInfoGroup") << "devicePage" << "QGroupBox" << "Information";
    QTest::newRow("deviceInfoBrowser") << "devicePage" << "QTextBrowser" << "";
    QTest::newRow("deviceConfigGroup") << "devicePage" << "QGroupBox" << "Configuration";
    QTest::newRow("deviceConfigNoneLabel") << "devicePage" << "QLabel"
                                           << "This device does not have configurable parameters";
    // Chat page.
    QTest::newRow("label_8") << "zuchatPage" << "QLabel" << "To:";
    QTest::newRow("chatAddressEdit") << "zuchatPage" << "QToolLineEdit" << "";
    QTest::newRow("chatAddressTool") << "zuchatPage" << "QToolButton" << "...";
    QTest::newRow("chatCryptTool") << "zuchatPage" << "QToolButton" << "...";
    QTest::newRow("label_9") << "zuchatPage" << "QLabel" << "Message:";
    QTest::newRow("chatMsgEdit") << "zuchatPage" << "QToolLineEdit" << "";
    QTest::newRow("chatSendTool") << "zuchatPage" << "QToolButton" << "...";
    QTest::newRow("chatAdvancedGroup") << "zuchatPage" << "QFoldWidget" << "";
    QTest::newRow("chatBrowser") << "zuchatPage" << "QListWidget" << "";
    QTest::newRow("chatSaveTool") << "zuchatPage" << "QToolButton" << "...";
    QTest::newRow("chatClearTool") << "zuchatPage" << "QToolButton" << "...";
    // Reference page.
    QTest::newRow("kolmReferenceBrowser") << "kolmReferencePage" << "QTextBrowser" << "";
}

void MainWindowFormTest::consoleWidgets()
{
    QFETCH(QString, page);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QWidget *pageWidget = formChild<QWidget>(*m_window, page);
    QWidget *w = formChild<QWidget>(*pageWidget, QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(QString::fromUtf8(w->metaObject()->className()), className);
    if (text.isEmpty())
        return;
    if (auto *box = qobject_cast<QGroupBox *>(w))
        QCOMPARE(box->title(), text);
    else if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(button->text(), text);
    else if (auto *combo = qobject_cast<QComboBox *>(w))
        QCOMPARE(combo->currentText(), text);
    else
        QFAIL("no text to compare");
}

void MainWindowFormTest::initialState()
{
    QCOMPARE(m_ui->stackedWidget->currentIndex(), 3);
    QCOMPARE(m_ui->stackedWidget->currentWidget(), m_ui->zumsgPage);
    QCOMPARE(m_ui->msgHalRegValueStack->currentWidget(), m_ui->msgHalRegUintPage);
    QVERIFY(m_ui->msgMcHexRadio->isChecked());
    QVERIFY(!m_ui->msgMcAsciiRadio->isChecked());
    QVERIFY(m_ui->msgHalHexRadio->isChecked());
    QVERIFY(!m_ui->msgHalAsciiRadio->isChecked());
    QCOMPARE(m_ui->msgKolmTypeCombo->count(), 2);
    QCOMPARE(m_ui->msgKolmTypeCombo->itemText(1), QStringLiteral("ASCII"));
    QCOMPARE(m_ui->msgHalRegTypeCombo->itemText(1), QStringLiteral("(as Data)"));
    QVERIFY(m_ui->msgKolmRxDataEdit->isReadOnly());
    QVERIFY(m_ui->chatCryptTool->isCheckable());
    QCOMPARE(m_ui->progressBar->value(), 24);
    QVERIFY(!m_ui->actionLog->isChecked());
    QCOMPARE(m_ui->chatAddressTool->toolTip(), QStringLiteral("Reply to the last addressee"));
    QCOMPARE(m_ui->chatSaveTool->toolTip(), QStringLiteral("Save Chat"));
    QCOMPARE(m_ui->chatClearTool->toolTip(), QStringLiteral("Clear Chat"));
    QCOMPARE(m_ui->chatSendTool->toolTip(), QStringLiteral("Send message"));
    QVERIFY(m_ui->chatAddressEdit->toolTip().contains(
        QStringLiteral("To distinguish hex values from decimal ones, prepend '0x' or append 'h' to the value.")));
    QVERIFY(m_ui->chatAddressEdit->toolTip().contains(QStringLiteral("Destination")));
}

void MainWindowFormTest::logActionTogglesLog()
{
    m_ui->actionLog->setChecked(true);
    QVERIFY(!m_ui->logBrowser->isHidden());
    m_ui->actionLog->setChecked(false);
    QVERIFY(m_ui->logBrowser->isHidden());
    m_ui->actionLog->setChecked(true);
    QVERIFY(!m_ui->logBrowser->isHidden());
}

void MainWindowFormTest::retranslateKeepsChatGroupUntitled()
{
    m_ui->retranslateUi(m_window);
    QVERIFY(m_ui->chatSendGroup->title().isEmpty());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("KolmIDE"));
    QCOMPARE(m_ui->actionTerminal->text(), QStringLiteral("Messages"));
}

void MainWindowFormTest::chatTabOrder()
{
    const QList<QWidget *> order{m_ui->chatAddressTool, m_ui->chatAddressEdit, m_ui->chatMsgEdit,
                                 m_ui->chatSendTool,    m_ui->chatBrowser,     m_ui->chatSaveTool,
                                 m_ui->chatClearTool};
    for (int i = 0; i + 1 < order.size(); ++i) {
        // The next widget that takes Tab focus, skipping focus proxies'
        // children such as a line edit's embedded button.
        QWidget *next = order.at(i)->nextInFocusChain();
        while (next && next != order.at(i + 1) && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next, order.at(i + 1));
    }
}

void MainWindowFormTest::shortcutTriggersAction()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    QSignalSpy open(m_ui->actionOpen_Script, &QAction::triggered);
    QSignalSpy log(m_ui->actionLog, &QAction::toggled);
    QTest::keyClick(m_window, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(m_window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(open.count(), 1);
    QCOMPARE(log.count(), 1);
    QVERIFY(m_ui->logBrowser->isVisible());
}

void MainWindowFormTest::picture()
{
    QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
    const QDir dir(QStringLiteral(KOLM_SCREENSHOT_DIR));
    m_ui->actionLog->setChecked(true);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QPixmap picture = m_window->grab();
    QCOMPARE(picture.size(), m_window->size());
    QVERIFY(picture.save(dir.filePath(QStringLiteral("main_window_form.png"))));
}

QTEST_MAIN(MainWindowFormTest)
#include "main_window_form_test.moc"
