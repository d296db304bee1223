// The main window's frame: its state after construction, page selection
// and the View actions, the Device page's editor slot, the progress bar,
// the key action, the log panel, the window settings, the update notice
// and starting the local emulator.

#include "zurovurazev.h"

#include "first_window_size.h"
#include "free_port.h"
#include "ide_resources.h"
#include "kolmlocaldebugger.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "qsourceeditor.h"
#include "zuasmgetkey.h"
#include "zuasmpreferences.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QTableView>
#include <QTcpServer>
#include <QTextBlock>
#include <QTextTable>
#include <QTest>

#include <functional>
#include <memory>

class ZuROVUrazevTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void initialState();
    void pageSelection_data();
    void pageSelection();
    void viewActions();
    void configWidgetHosting();
    void informationKeepsFiveLines();
    void referenceTablesShowPlainPipes();
    void progressBar();
    void keyDialog();
    void escapeHidesLog();

    void logLineIsEscapedAndColoured_data();
    void logLineIsEscapedAndColoured();
    void logErrorShowsLog_data();
    void logErrorShowsLog();
    void logKeepsNewestLines();

    void pingInterval_data();
    void pingInterval();
    void recentProjects();
    void geometryRoundTrip();
    void firstWindowSize_data();
    void firstWindowSize();
    void firstSizeWithoutSavedGeometry();
    void debuggerPageAtFirstSize_data();
    void debuggerPageAtFirstSize();
    void lastProjectOpensAfterTheWindowIsShown();
    void unsavableProjectKeepsWindowOpen();

    void manualCheckExpires_data();
    void manualCheckExpires();
    void automaticAnswersGoToStatusBar_data();
    void automaticAnswersGoToStatusBar();
    void latestVersionBox();
    void failedCheckSaysSo_data();
    void failedCheckSaysSo();
    void updateOfferNoKeepsRunning();
    void about();
    void preferencesReapplyEditor_data();
    void preferencesReapplyEditor();
    void windowGoesWhilePreferencesOpen_data();
    void windowGoesWhilePreferencesOpen();

    void startEmulator();
    void startEmulatorPortTaken();
    void deleteWindowWhileEmulatorStarts();
    void closeWindowWhileEmulatorStarts_data();
    void closeWindowWhileEmulatorStarts();

    // Last: QCoreApplication::exit() ends every event loop started after it.
    void updateOfferYesEndsLoop();

private:
    ZuROVUrazev *makeWindow();
    Ui_ZuROVUrazev *ui(ZuROVUrazev *w) { return w->ui; }

    std::unique_ptr<TempSettings> m_settings;
    ZuROVUrazev *m_window = nullptr;
};

void ZuROVUrazevTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
    QCoreApplication::setApplicationVersion(QStringLiteral("0.2.1"));
}

void ZuROVUrazevTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    // No check for updates runs by itself.
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_window = nullptr;
}

void ZuROVUrazevTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
    QMaterialIcon::instance()->setDefaultColors(false);
    m_settings.reset();
}

ZuROVUrazev *ZuROVUrazevTest::makeWindow()
{
    delete m_window;
    m_window = new ZuROVUrazev;
    return m_window;
}

void ZuROVUrazevTest::initialState()
{
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    QVERIFY(u->logBrowser->isHidden());
    QVERIFY(u->progressBar->isHidden());
    for (QAction *hidden : {u->actionRemote, u->actionDownload, u->actionChat, u->actionSave_Script_As})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    QVERIFY(u->actionConnect->isVisible());
    QVERIFY(!u->actionDebug_Next->isEnabled());
    QCOMPARE(w->connectionStatus->toolTip(), QStringLiteral("Not connected"));
    QVERIFY(!w->connectionStatus->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(w->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(w->device.address, quint16(0xFFFF));
    QCOMPARE(w->device.localAddress, quint16(0xFFFF));
    QCOMPARE(w->device.kind, ZuROVUrazev::D_Unknown);
    QCOMPARE(w->msgTimer.interval(), 5000);
    QVERIFY(w->msgTimer.isSingleShot());
    QCOMPARE(w->updateTimer.interval(), 3000);
    QVERIFY(!u->actionLog->icon().isNull());
    QVERIFY(!u->actionAutoStart->icon().isNull());
    QCOMPARE(u->actionExit->shortcut(), QKeySequence(QKeySequence::Quit));
    // The status bar: text label, chat, message and connection indicators.
    const QList<QStatusLabel *> indicators = u->statusbar->findChildren<QStatusLabel *>();
    QCOMPARE(indicators.size(), 3);
    // The language reference.
    QVERIFY(u->kolmReferenceBrowser->toPlainText().contains(QStringLiteral("Kolm quick reference")));
}

void ZuROVUrazevTest::pageSelection_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("name");
    QTest::newRow("0 project") << 0 << "projectPage";
    QTest::newRow("1 device") << 1 << "devicePage";
    QTest::newRow("2 debugger") << 2 << "zudbgPage";
    QTest::newRow("3 messages") << 3 << "zumsgPage";
    QTest::newRow("4 chat") << 4 << "zuchatPage";
    QTest::newRow("5 reference") << 5 << "kolmReferencePage";
}

void ZuROVUrazevTest::pageSelection()
{
    QFETCH(int, page);
    QFETCH(QString, name);
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    w->chatStatus->status(QStringLiteral("mark_chat_unread"), QMaterialIcon::Success, QStringLiteral("New"));
    w->messageStatus->status(QStringLiteral("mark_email_unread"), QMaterialIcon::Success, QStringLiteral("New"));
    u->deviceInfoBrowser->setPlainText(QStringLiteral("stale"));
    // Through the View action of the page, as the user selects it.
    QAction *const views[] = {u->actionEditor,   u->actionDevice_Setup, u->actionDebugger,
                              u->actionTerminal, u->actionChat,         u->actionKolm_Help};
    QCOMPARE(views[page]->data().toInt(), page);
    views[page]->trigger();
    QCOMPARE(u->stackedWidget->currentWidget()->objectName(), name);
    QCOMPARE(u->codeToolbar->isHidden(), page != 0);
    QCOMPARE(u->debugToolbar->isHidden(), page != 2);
    QCOMPARE(w->messageStatus->pixmap(Qt::ReturnByValue).isNull(), page == 3);
    QCOMPARE(w->chatStatus->pixmap(Qt::ReturnByValue).isNull(), page == 4);
    // Without a connection the device information is cleared.
    QCOMPARE(u->deviceInfoBrowser->toPlainText().isEmpty(), page == 1);
}

void ZuROVUrazevTest::viewActions()
{
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    w->viewActionEnable(5, false);
    QVERIFY(u->actionKolm_Help->isEnabled());
    w->viewActionEnable(-1, false);
    w->viewActionEnable(1, false);
    w->viewActionEnable(3, false);
    QVERIFY(!u->actionDevice_Setup->isEnabled());
    QVERIFY(!u->actionTerminal->isEnabled());
    QVERIFY(u->actionEditor->isEnabled());
    w->viewActionsReset();
    QVERIFY(u->actionDevice_Setup->isEnabled());
    QVERIFY(u->actionTerminal->isEnabled());
}

void ZuROVUrazevTest::configWidgetHosting()
{
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    w->pushConfigWidget(nullptr);
    QVERIFY(!u->deviceConfigNoneLabel->isHidden());
    QCOMPARE(w->configWidget, nullptr);
    QPointer<QLabel> editor = new QLabel(QStringLiteral("editor"));
    w->pushConfigWidget(editor);
    QVERIFY(u->deviceConfigNoneLabel->isHidden());
    QCOMPARE(u->verticalLayout_5->itemAt(0)->widget(), editor.data());
    QCOMPARE(editor->parentWidget(), u->deviceConfigGroup);
    w->freeConfigWidget();
    QVERIFY(!u->deviceConfigNoneLabel->isHidden());
    QCOMPARE(w->configWidget, nullptr);
    QCOMPARE(u->verticalLayout_5->indexOf(editor), -1);
    QTRY_VERIFY(editor.isNull());
    // Freeing with nothing hosted only shows the label.
    w->freeConfigWidget();
    QVERIFY(!u->deviceConfigNoneLabel->isHidden());
}

// With the log panel open and a tall editor on the Device page, the
// Information box still shows five lines.
void ZuROVUrazevTest::informationKeepsFiveLines()
{
    ZuROVUrazev *w = makeWindow();
    auto *editor = new QWidget;
    editor->setMinimumHeight(420);
    w->pushConfigWidget(editor);
    w->pagesel_clicked(ZuROVUrazev::T_Config);
    ui(w)->actionLog->setChecked(true);
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTextBrowser *info = ui(w)->deviceInfoBrowser;
    const int lines = info->viewport()->height() / info->fontMetrics().lineSpacing();
    QVERIFY2(lines >= 5, qPrintable(QString::number(lines)));
    QVERIFY(ui(w)->logBrowser->isVisible());
}

// The reference's tables show "|" where the text escapes it inside a cell;
// a picture of every table is kept for a person to look at.
void ZuROVUrazevTest::referenceTablesShowPlainPipes()
{
    ZuROVUrazev *w = makeWindow();
    QTextBrowser *reference = ui(w)->kolmReferenceBrowser;
    const QString text = reference->toPlainText();
    for (const char *operators : {"& | ^ ~ << >>", "&& || !", "&= |= ^="})
        QVERIFY2(text.contains(QLatin1String(operators)), operators);
    QVERIFY(!text.contains(QStringLiteral("\\|")));

    w->pagesel_clicked(ZuROVUrazev::T_Help);
    w->resize(900, 700);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    int tables = 0;
    for (QTextFrame *frame : reference->document()->rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        reference->verticalScrollBar()->setValue(reference->verticalScrollBar()->maximum());
        reference->setTextCursor(table->firstCursorPosition());
        reference->ensureCursorVisible();
        QApplication::processEvents();
        QVERIFY(reference->grab().save(
            QStringLiteral(KOLM_SCREENSHOT_DIR "/reference_table_%1.png").arg(++tables)));
    }
    QVERIFY(tables > 0);
}

void ZuROVUrazevTest::progressBar()
{
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    w->startProgressBar(QStringLiteral("Writing"));
    QVERIFY(!u->progressBar->isHidden());
    QVERIFY(!u->deviceBar->isEnabled());
    QCOMPARE(u->progressBar->format(), QStringLiteral("Writing"));
    QCOMPARE(u->progressBar->maximum(), 0);
    w->setProgress(QStringLiteral("%v of %m"), 0, 10);
    QCOMPARE(u->progressBar->minimum(), 0);
    QCOMPARE(u->progressBar->maximum(), 10);
    QCOMPARE(u->progressBar->value(), 0);
    QCOMPARE(u->progressBar->text(), QStringLiteral("0 of 10"));
    w->setProgress(QStringLiteral("busy"), 0, 0);
    QCOMPARE(u->progressBar->maximum(), 0);
    w->stopProgressBar();
    QVERIFY(u->progressBar->isHidden());
    // Not connected: the device tool bar stays disabled.
    QVERIFY(!u->deviceBar->isEnabled());
}

void ZuROVUrazevTest::keyDialog()
{
    ZuROVUrazev *w = makeWindow();
    unsigned char before[8];
    std::memcpy(before, w->key, 8);
    const unsigned char entered[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    unsigned char shown[8] = {};
    ModalDriver modal;
    modal
        .then([&](QWidget *d) {
            auto *dialog = qobject_cast<ZuASMGetKey *>(d);
            QVERIFY(dialog);
            dialog->getKey(shown);
            dialog->setKey(entered);
            dialog->reject();
        })
        .then([&](QWidget *d) {
            auto *dialog = qobject_cast<ZuASMGetKey *>(d);
            QVERIFY(dialog);
            dialog->setKey(entered);
            dialog->accept();
        });
    ui(w)->actionKey->trigger();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(shown), 8),
             QByteArray(reinterpret_cast<const char *>(before), 8));
    // Cancelled: the key stays.
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(w->key), 8),
             QByteArray(reinterpret_cast<const char *>(before), 8));
    ui(w)->actionKey->trigger();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(w->key), 8),
             QByteArray(reinterpret_cast<const char *>(entered), 8));
    QCOMPARE(modal.unanswered(), 0);
    // The key is never stored.
    QVERIFY(QSettings().allKeys().filter(QStringLiteral("ey"), Qt::CaseInsensitive).isEmpty());
}

void ZuROVUrazevTest::escapeHidesLog()
{
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    u->actionLog->setChecked(true);
    emit u->projectPage->hideRequested();
    QVERIFY(!u->actionLog->isChecked());
    QVERIFY(u->logBrowser->isHidden());
    emit u->projectPage->hideRequested();
    QVERIFY(!u->actionLog->isChecked());
}

void ZuROVUrazevTest::logLineIsEscapedAndColoured_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("colour");
    QTest::newRow("info light") << false << false << "#4caf50";
    QTest::newRow("info dark") << true << false << "#a5d6a7";
    QTest::newRow("error") << false << true
                           << QMaterialIcon::instance()->color(QMaterialIcon::Error).name();
}

void ZuROVUrazevTest::logLineIsEscapedAndColoured()
{
    QFETCH(bool, dark);
    QFETCH(bool, error);
    QFETCH(QString, colour);
    QMaterialIcon::instance()->setDefaultColors(dark);
    if (error)
        colour = QMaterialIcon::instance()->color(QMaterialIcon::Error).name();
    ZuROVUrazev *w = makeWindow();
    QTextBrowser *log = ui(w)->logBrowser;
    if (error)
        w->logError(QStringLiteral("<b>x</b> &amp; y"));
    else
        w->logInfo(QStringLiteral("<b>x</b> &amp; y"));
    // The line reaches the panel on the next turn of the event loop.
    QTRY_VERIFY(!log->document()->isEmpty());
    // Angle brackets show as text; an entity shows its character.
    QCOMPARE(log->toPlainText(), QStringLiteral("<b>x</b> & y"));
    const QTextCharFormat format = log->document()->begin().begin().fragment().charFormat();
    QCOMPARE(format.foreground().color().name(), colour);
    QVERIFY(!format.font().bold());
}

void ZuROVUrazevTest::logErrorShowsLog_data()
{
    QTest::addColumn<QVariant>("logShow");
    QTest::addColumn<bool>("shown");
    QTest::newRow("default") << QVariant() << true;
    QTest::newRow("LogShow true") << QVariant(true) << true;
    QTest::newRow("LogShow false") << QVariant(false) << false;
}

void ZuROVUrazevTest::logErrorShowsLog()
{
    QFETCH(QVariant, logShow);
    QFETCH(bool, shown);
    if (logShow.isValid())
        m_settings->set(QStringLiteral("LogShow"), logShow);
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    w->logInfo(QStringLiteral("information"));
    QVERIFY(!u->actionLog->isChecked());
    w->logError(QStringLiteral("failure"));
    // The panel opens as the error is logged, before the line is drawn.
    QCOMPARE(u->actionLog->isChecked(), shown);
    QCOMPARE(u->logBrowser->isHidden(), !shown);
    QTRY_COMPARE(u->logBrowser->document()->blockCount(), 2);
}

void ZuROVUrazevTest::logKeepsNewestLines()
{
    ZuROVUrazev *w = makeWindow();
    QTextBrowser *log = ui(w)->logBrowser;
    const int lines = ZuROVUrazev::LogLines + 50;
    for (int i = 0; i < lines / 2; ++i)
        w->logInfo(QStringLiteral("line %1").arg(i));
    QTRY_COMPARE(log->document()->blockCount(), lines / 2);
    for (int i = lines / 2; i < lines; ++i)
        w->logInfo(QStringLiteral("line %1").arg(i));
    QTRY_COMPARE(log->document()->lastBlock().text(), QStringLiteral("line %1").arg(lines - 1));
    QCOMPARE(log->document()->blockCount(), ZuROVUrazev::LogLines);
    QCOMPARE(log->document()->firstBlock().text(), QStringLiteral("line 50"));
    QCOMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
}

void ZuROVUrazevTest::pingInterval_data()
{
    QTest::addColumn<QVariant>("ping");
    QTest::addColumn<int>("interval");
    QTest::newRow("missing") << QVariant() << 3000;
    QTest::newRow("500") << QVariant(500) << 1000;
    QTest::newRow("1500") << QVariant(1500) << 1500;
    QTest::newRow("not a number") << QVariant(QStringLiteral("soon")) << 1000;
}

void ZuROVUrazevTest::pingInterval()
{
    QFETCH(QVariant, ping);
    QFETCH(int, interval);
    if (ping.isValid())
        m_settings->set(QStringLiteral("Ping"), ping);
    ZuROVUrazev *w = makeWindow();
    w->readSettings();
    QCOMPARE(w->pingTimer.interval(), interval);
    QVERIFY(w->pingTimer.isSingleShot());
    QCOMPARE(ui(w)->stackedWidget->currentIndex(), int(ZuROVUrazev::T_Script));
}

void ZuROVUrazevTest::recentProjects()
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        const QString path = dir.filePath(QStringLiteral("p%1.kcpro").arg(i));
        if (i != 3) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        paths << path;
    }
    m_settings->set(QStringLiteral("Editor/RecentFiles"), paths);
    ZuROVUrazev *w = makeWindow();
    QMenu *menu = ui(w)->actionOpen_Script->menu();
    QVERIFY(menu);
    QStringList shown;
    for (const QAction *a : menu->actions()) {
        if (a->isSeparator())
            break;
        QCOMPARE(a->data().toString(), a->text());
        QVERIFY(a->shortcut().isEmpty());
        shown << a->text();
    }
    QStringList existing = paths;
    existing.removeAt(3);
    QCOMPARE(shown, existing);
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.at(actions.size() - 2)->text(), QStringLiteral("Open Project"));
    QCOMPARE(actions.last()->text(), QStringLiteral("Clear Menu"));
    QCOMPARE(actions.last()->data().toStringList(), existing);
    // The shortened list is stored with the next writeSettings, ten at most.
    QCOMPARE(QSettings().value(QStringLiteral("Editor/RecentFiles")).toStringList(), paths);
    w->writeSettings();
    QCOMPARE(QSettings().value(QStringLiteral("Editor/RecentFiles")).toStringList(), existing.mid(0, 10));
    QCOMPARE(QSettings().value(QStringLiteral("Editor/LastFile")).toString(), QString());
}

void ZuROVUrazevTest::geometryRoundTrip()
{
    ZuROVUrazev *w = makeWindow();
    w->readSettings();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->setGeometry(40, 50, 900, 640);
    ui(w)->actionAutoStart->setChecked(true);
    const QRect geometry = w->geometry();
    QVERIFY(w->close());
    w->writeSettings();
    QSettings settings;
    QVERIFY(!settings.value(QStringLiteral("Geometry")).toByteArray().isEmpty());
    QVERIFY(!settings.value(QStringLiteral("Window")).toByteArray().isEmpty());
    QCOMPARE(settings.value(QStringLiteral("AutoStart")).toBool(), true);

    ZuROVUrazev *again = makeWindow();
    QVERIFY(!ui(again)->actionAutoStart->isChecked());
    again->readSettings();
    QVERIFY(ui(again)->actionAutoStart->isChecked());
    again->show();
    QVERIFY(QTest::qWaitForWindowExposed(again));
    QCOMPARE(again->geometry().size(), geometry.size());
}

void ZuROVUrazevTest::firstWindowSize_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("1600x1000") << QSize(1600, 1000) << QSize(1360, 850);
    QTest::newRow("3840x2160") << QSize(3840, 2160) << QSize(3264, 1836);
    QTest::newRow("1280x800: the designed height") << QSize(1280, 800) << QSize(1088, 711);
    QTest::newRow("800x600: the whole screen") << QSize(800, 600) << QSize(800, 600);
}

void ZuROVUrazevTest::firstWindowSize()
{
    QFETCH(QSize, available);
    QFETCH(QSize, expected);
    QCOMPARE(::firstWindowSize(available, QSize(1051, 711)), expected);
}

void ZuROVUrazevTest::firstSizeWithoutSavedGeometry()
{
    ZuROVUrazev *w = makeWindow();
    w->readSettings();
    const QRect room = w->screen()->availableGeometry();
    QCOMPARE(w->size(), ::firstWindowSize(room.size(), QSize(1051, 711)));
    QVERIFY(room.contains(w->geometry()));
}

void ZuROVUrazevTest::debuggerPageAtFirstSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("picture");
    QTest::newRow("first size on 1600x1000") << ::firstWindowSize(QSize(1600, 1000), QSize(1051, 711))
                                             << "debugger_first_size.png";
    QTest::newRow("designed size") << QSize(1051, 711) << "debugger_designed_size.png";
    QTest::newRow("910x620") << QSize(910, 620) << "debugger_910x620.png";
}

void ZuROVUrazevTest::debuggerPageAtFirstSize()
{
    QFETCH(QSize, size);
    QFETCH(QString, picture);
    ZuROVUrazev *w = makeWindow();
    Ui_ZuROVUrazev *u = ui(w);
    w->readSettings();
    w->resize(size);
    u->actionDebugger->trigger();
    u->zudbgPage->setupRegs(7);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    // All seven machine registers are in view, %EIP and %ESP among them.
    auto *registers = u->zudbgPage->findChild<QTableView *>(QStringLiteral("registersView"));
    QVERIFY(registers);
    QCOMPARE(registers->model()->rowCount(), 7);
    const int last = registers->rowViewportPosition(6) + registers->rowHeight(6);
    QVERIFY2(last <= registers->viewport()->height(),
             qPrintable(QStringLiteral("%1 > %2").arg(last).arg(registers->viewport()->height())));
    QVERIFY(w->grab().save(QStringLiteral(PICTURE_DIR "/") + picture));
}

namespace {

// Notes whether the window's project was open when it first painted.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(ZuROVUrazev *window, std::function<bool()> open) : m_open(std::move(open))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            openAtFirstPaint = m_open();
        }
        return false;
    }
    bool painted = false;
    bool openAtFirstPaint = false;

private:
    std::function<bool()> m_open;
};

} // namespace

// The project of the last session opens once the window has painted, not
// before it is shown; a window deleted before it shows opens nothing.
void ZuROVUrazevTest::lastProjectOpensAfterTheWindowIsShown()
{
    ProjectFolder folder;
    folder.write("main.kos", "var main() { return 1; }\n");
    delete folder.load();
    m_settings->set(QStringLiteral("Editor/LastFile"), folder.path("demo.kcpro"));

    ZuROVUrazev *early = makeWindow();
    early->readSettings();
    QVERIFY(!ui(early)->projectPage->project());

    ZuROVUrazev *w = makeWindow();
    PaintWatch watch(w, [this] { return ui(m_window)->projectPage->project() != nullptr; });
    w->readSettings();
    QVERIFY(!ui(w)->projectPage->project());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTRY_VERIFY(ui(w)->projectPage->project());
    QVERIFY(watch.painted);
    QVERIFY(!watch.openAtFirstPaint);
    QCOMPARE(ui(w)->projectPage->project()->fileName(), folder.path("demo.kcpro"));
}

void ZuROVUrazevTest::unsavableProjectKeepsWindowOpen()
{
    ZuROVUrazev *w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    ProjectFolder folder;
    folder.write(QStringLiteral("main.kos"), "var main() { return 0; }\n");
    KolmProject *project = folder.load();
    QVERIFY(project);
    QVERIFY(ui(w)->projectPage->setProject(project));
    project->setDefines({QStringLiteral("A=1")});
    QVERIFY(ui(w)->projectPage->modified());
    // The project's folder becomes a plain file: nothing can be saved.
    const QString projectDir = QFileInfo(project->fileName()).absolutePath();
    QVERIFY(QDir(projectDir).removeRecursively());
    QFile plain(projectDir);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    ModalDriver modal;
    for (int i = 0; i < 3; ++i)
        modal.press(QMessageBox::Ok);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QSettings settings;
    QVERIFY(!settings.contains(QStringLiteral("Window")));
    QVERIFY(!settings.contains(QStringLiteral("Geometry")));
    QFile::remove(projectDir);
}

void ZuROVUrazevTest::manualCheckExpires_data()
{
    QTest::addColumn<int>("checks");
    QTest::newRow("one check") << 1;
    // The timer restarts with the second check and runs out once.
    QTest::newRow("two checks in a row") << 2;
}

void ZuROVUrazevTest::manualCheckExpires()
{
    QFETCH(int, checks);
    // A server that takes the request and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("http://127.0.0.1:%1/releases.json")
                                                       .arg(silent.serverPort()));
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    for (int i = 0; i < checks; ++i) {
        if (i)
            QTest::qWait(300);
        ui(w)->actionCheck_for_updates->trigger();
        QVERIFY(w->updateTimer.isActive());
    }
    QVERIFY(modal.waitSeen(1, 10000));
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("Check for Updates"));
    QCOMPARE(modal.seen().at(0).text, QStringLiteral("No available updates."));
    QVERIFY(!w->manualCheck);
    QTest::qWait(3500);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.unanswered(), 0);
}

void ZuROVUrazevTest::automaticAnswersGoToStatusBar_data()
{
    QTest::addColumn<bool>("expiry");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing new") << false << "The latest app version is installed.";
    QTest::newRow("no answer") << true << "No available updates.";
}

void ZuROVUrazevTest::automaticAnswersGoToStatusBar()
{
    QFETCH(bool, expiry);
    QFETCH(QString, message);
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    if (expiry)
        w->updater_noAnswer();
    else
        w->updater_updatesAvailable(false, QStringLiteral("0.2.1"), QString(), QString());
    QCOMPARE(w->statusBar()->currentMessage(), message);
    QTest::qWait(50);
    QCOMPARE(modal.seen().size(), 0);
}

void ZuROVUrazevTest::latestVersionBox()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("releases.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[{\"version\": \"0.2.1\", \"changelog\": [\"first\"], \"url86\": \"https://kolm.dev/x\"}]");
    file.close();
    m_settings->set(QStringLiteral("Updates/Url"), QUrl::fromLocalFile(path).toString());
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    ui(w)->actionCheck_for_updates->trigger();
    QVERIFY(modal.waitSeen(1, 10000));
    QCOMPARE(modal.seen().at(0).text, QStringLiteral("You have the latest version."));
    QVERIFY(!w->updateTimer.isActive());
    QVERIFY(!w->manualCheck);
}

// The download fails (no such file): the manual check says so in a box,
// the automatic one in the log only; neither claims the latest version.
void ZuROVUrazevTest::failedCheckSaysSo_data()
{
    QTest::addColumn<bool>("manual");
    QTest::newRow("manual") << true;
    QTest::newRow("automatic") << false;
}

void ZuROVUrazevTest::failedCheckSaysSo()
{
    QFETCH(bool, manual);
    const QString url = QStringLiteral("file:///nonexistent/kolm/releases.json");
    m_settings->set(QStringLiteral("Updates/Url"), url);
    // Never checked before: the automatic check starts a second after the window.
    m_settings->set(QStringLiteral("Updates/Auto"), !manual);
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    if (manual) {
        modal.press(QMessageBox::Ok);
        ui(w)->actionCheck_for_updates->trigger();
        QVERIFY(modal.waitSeen(1, 10000));
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Check for Updates"));
        QVERIFY2(modal.seen().at(0).text.startsWith(QStringLiteral("Cannot check for updates: ")),
                 qPrintable(modal.seen().at(0).text));
        QVERIFY(modal.seen().at(0).text.size() > QStringLiteral("Cannot check for updates: ").size());
        QVERIFY(!w->manualCheck);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(
            (w->flushLog(), ui(w)->logBrowser->toPlainText().contains(QStringLiteral("Cannot check for updates: "))),
            10000);
        QCOMPARE(modal.seen().size(), 0);
        QVERIFY(ui(w)->logBrowser->isHidden());
    }
    QVERIFY(!w->updateTimer.isActive());
    QCOMPARE(w->statusBar()->currentMessage(), QString());
}

void ZuROVUrazevTest::updateOfferNoKeepsRunning()
{
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.press(QMessageBox::No);
    QEventLoop loop;
    QTimer::singleShot(0, w, [w] {
        w->updater_updatesAvailable(true, QStringLiteral("0.3.0"), QStringLiteral("faster"),
                                    QStringLiteral("https://kolm.dev/x"));
    });
    QTimer::singleShot(1500, &loop, [&loop] { loop.exit(7); });
    QCOMPARE(loop.exec(), 7);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("Check for Updates"));
    QVERIFY(modal.seen().at(0).text.contains(QStringLiteral("<b>0.3.0</b> is available")));
    QVERIFY(modal.seen().at(0).text.contains(QStringLiteral("<a href=\"https://kolm.dev/x\">here</a>")));
}

void ZuROVUrazevTest::updateOfferYesEndsLoop()
{
    // The update tools as stand-ins that succeed, on a package of our own.
    QTemporaryDir tools;
    auto tool = [&](const char *name, const QByteArray &script) {
        QFile f(tools.filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(script);
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    tool("which", "#!/bin/sh\n[ -e \"$(dirname \"$0\")/$1\" ]\n");
    tool("zsync_curl", "#!/bin/sh\nexit 0\n");
    tool("appimageupdate", "#!/bin/sh\nexit 0\n");
    tool("package.AppImage", "");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);
    qputenv("APPIMAGE", tools.filePath(QStringLiteral("package.AppImage")).toLocal8Bit());

    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.press(QMessageBox::Yes);
    for (int i = 0; i < 4; ++i)
        modal.press(QMessageBox::Ok);
    QEventLoop loop;
    QTimer::singleShot(0, w, [w] {
        w->updater_updatesAvailable(true, QStringLiteral("0.3.0"), QStringLiteral("faster"),
                                    QStringLiteral("https://kolm.dev/x"));
    });
    QTimer::singleShot(15000, &loop, [&loop] { loop.exit(7); });
    const int result = loop.exec();
    qputenv("PATH", path);
    qunsetenv("APPIMAGE");
    QCOMPARE(result, 0);
}

void ZuROVUrazevTest::about()
{
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    ui(w)->actionAbout->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("KolmIDE"));
    const QString text = modal.seen().at(0).text;
    QVERIFY(text.startsWith(QStringLiteral("Kolm IDE v0.2.1<br>")));
    for (const char *entry : {"QuaZip</a> (GNU LGPL with static linking exception)", "hidapi</a> (BSD-style license)",
                              "QSourceEditor</a> (MIT License)", "(Apache License 2.0)",
                              "TinyXML-2</a> (zLib License)", "3rd party software:"})
        QVERIFY2(text.contains(QLatin1String(entry)), entry);
}

// The project page's editor takes the dialog's editor settings when OK
// stores them, and keeps its own when the dialog is cancelled.
void ZuROVUrazevTest::preferencesReapplyEditor_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("tabWidth");
    QTest::addColumn<bool>("spaces");
    QTest::newRow("ok") << true << 8 << false;
    QTest::newRow("cancel") << false << 4 << true;
}

void ZuROVUrazevTest::preferencesReapplyEditor()
{
    QFETCH(bool, accept);
    QFETCH(int, tabWidth);
    QFETCH(bool, spaces);
    ZuROVUrazev *w = makeWindow();
    auto *editor = ui(w)->projectPage->findChild<QSourceEditor *>(QStringLiteral("codeEditor"));
    QVERIFY(editor);
    QCOMPARE(editor->tabReplaceSize(), 4);
    QVERIFY(editor->tabReplace());

    ModalDriver modal;
    modal.then([accept](QWidget *window) {
        auto *dialog = qobject_cast<ZuASMPreferences *>(window);
        QVERIFY(dialog);
        dialog->findChild<QSpinBox *>(QStringLiteral("editorTabWidth"))->setValue(8);
        dialog->findChild<QCheckBox *>(QStringLiteral("editorSpacesCheck"))->setChecked(false);
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    ui(w)->actionPreferences->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(editor->tabReplaceSize(), tabWidth);
    QCOMPARE(editor->tabReplace(), spaces);
    // The dialog is gone once the action returns.
    QVERIFY(w->findChildren<ZuASMPreferences *>().isEmpty());
}

// The window closed or deleted while the dialog is open: the action ends
// without touching what went away.
void ZuROVUrazevTest::windowGoesWhilePreferencesOpen_data()
{
    QTest::addColumn<bool>("deleteWindow");
    QTest::newRow("close") << false;
    QTest::newRow("delete") << true;
}

void ZuROVUrazevTest::windowGoesWhilePreferencesOpen()
{
    QFETCH(bool, deleteWindow);
    ZuROVUrazev *w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QPointer<ZuROVUrazev> guard = w;
    QPointer<QDialog> seenDialog;
    ModalDriver modal;
    modal.then([this, w, deleteWindow, &seenDialog](QWidget *window) {
        seenDialog = qobject_cast<QDialog *>(window);
        if (deleteWindow) {
            delete w;
            m_window = nullptr;
            return;
        }
        w->close();
        // OK after the close: the settings are re-applied to a hidden window.
        if (seenDialog)
            seenDialog->accept();
    });
    ui(w)->actionPreferences->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(!seenDialog);
    QCOMPARE(guard.isNull(), deleteWindow);
    if (!deleteWindow)
        QVERIFY(!w->isVisible());
}

void ZuROVUrazevTest::startEmulator()
{
    const int port = freePort();
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), port);
    ZuROVUrazev *w = makeWindow();
    QVERIFY(w->startEmulator(true));
    QCOMPARE(w->localDebugger->process()->state(), QProcess::Running);
    // Listening now: a second start finds it running.
    QVERIFY(w->startEmulator(true));
    QVERIFY(w->close());
    QCOMPARE(w->localDebugger->process()->state(), QProcess::NotRunning);
}

void ZuROVUrazevTest::startEmulatorPortTaken()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost));
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), taken.serverPort());
    ZuROVUrazev *w = makeWindow();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!w->startEmulator(true));
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(w->localDebugger->process()->state(), QProcess::NotRunning);
}

void ZuROVUrazevTest::deleteWindowWhileEmulatorStarts()
{
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), freePort());
    QPointer<ZuROVUrazev> w = makeWindow();
    QTimer::singleShot(50, [this] {
        delete m_window;
        m_window = nullptr;
    });
    QVERIFY(!w->startEmulator(true));
    QVERIFY(w.isNull());
}

void ZuROVUrazevTest::closeWindowWhileEmulatorStarts_data()
{
    QTest::addColumn<bool>("onStart");
    QTest::newRow("during the port probe") << false;
    QTest::newRow("as the emulator starts") << true;
}

void ZuROVUrazevTest::closeWindowWhileEmulatorStarts()
{
    QFETCH(bool, onStart);
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), freePort());
    ZuROVUrazev *w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    if (onStart)
        connect(w->localDebugger->process(), &QProcess::started, w, [w] { w->close(); });
    else
        QTimer::singleShot(0, w, [w] { w->close(); });
    QVERIFY(!w->startEmulator(true));
    QVERIFY(!w->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(w->localDebugger->process()->state(), QProcess::NotRunning, 15000);
}

QTEST_MAIN(ZuROVUrazevTest)
#include "zurovurazev_test.moc"
