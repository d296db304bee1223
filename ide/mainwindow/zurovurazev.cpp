// The main window's frame: construction and wiring, page selection, the
// View actions, the Device page's editor slot, the progress bar, starting
// the local emulator, the key and preferences actions and closing.

#include "zurovurazev.h"

#include "emulator_probe.h"
#include "hidproxy.h"
#include "kolmdisassembler.h"
#include "kolmlocaldebugger.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "reference_text.h"
#include "ui_zurovurazev.h"
#include "zuasmgetkey.h"
#include "zuhal_messenger.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpressionValidator>
#include <QStyle>

#include <cstring>

namespace {

// The packet key until the user enters another: two 32-bit words, bytes 0
// to 3 and 4 to 7, least significant byte first.
constexpr quint32 DefaultKeyLow = 0x4D4C4F4B;
constexpr quint32 DefaultKeyHigh = 0x31454449;

void setDefaultKey(unsigned char (&key)[8])
{
    for (int i = 0; i < 4; ++i) {
        key[i] = static_cast<unsigned char>(DefaultKeyLow >> (8 * i));
        key[4 + i] = static_cast<unsigned char>(DefaultKeyHigh >> (8 * i));
    }
}

} // namespace

ZuROVUrazev::ZuROVUrazev(QWidget *parent)
    : QMainWindow(parent)
    , ui(nullptr)
    , disassembler(new KolmDisassembler(this))
    , localDebugger(new KolmLocalDebugger(this))
{
    updateTimer.setSingleShot(true);
    updateTimer.setInterval(3000);
    msgTimer.setSingleShot(true);
    msgTimer.setInterval(5000);
    pingTimer.setSingleShot(true);
    m_logFlush.setSingleShot(true);
    m_logFlush.setInterval(0);
    connect(&m_logFlush, &QTimer::timeout, this, [this] { flushLog(LogSlice); });
    device = Device();

    ui = new Ui_ZuROVUrazev;
    ui->setupUi(this);
    ui->logBrowser->document()->setMaximumBlockCount(LogLines);
    // The Device page's Information box keeps five lines however tall the
    // configuration editor below it and the log panel are.
    QTextBrowser *info = ui->deviceInfoBrowser;
    info->setMinimumHeight(5 * info->fontMetrics().lineSpacing()
                           + 2 * int(info->document()->documentMargin()) + 2 * info->frameWidth());
    hexValidator = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-F0-9\\s]+"), QRegularExpression::CaseInsensitiveOption));

    const struct {
        QAction *action;
        const char *glyph;
    } glyphs[] = {
        {ui->actionEditor, "text_snippet"},     {ui->actionDevice_Setup, "settings"},
        {ui->actionDebugger, "bug_report"},      {ui->actionTerminal, "api"},
        {ui->actionChat, "textsms"},             {ui->actionKolm_Help, "help"},
        {ui->actionLog, "list"},                 {ui->actionClearLog, "delete"},
        {ui->actionRemote, "settings_remote"},   {ui->actionDownload, "cloud_download"},
        {ui->actionUpload, "get_app"},           {ui->actionLaunch, "cancel"},
        {ui->actionExit, "exit_to_app"},         {ui->actionPreferences, "settings"},
        {ui->actionKey, "vpn_key"},              {ui->actionTime_Sync, "access_time"},
        {ui->actionReset_Device, "restore"},     {ui->actionFirmware_Update, "system_update"},
        {ui->actionCheck_for_updates, "update"}, {ui->actionAbout, "info"},
        {ui->actionNew_Script, "create"},        {ui->actionOpen_Script, "folder_open"},
        {ui->actionSave_Script, "save"},         {ui->actionSave_Script_As, "save_alt"},
        {ui->actionClose_Script, "close"},       {ui->actionCopy, "content_copy"},
        {ui->actionCut, "content_cut"},          {ui->actionPaste, "content_paste"},
        {ui->actionFind_Replace, "find_in_page"}, {ui->actionGPIO_Helper, "memory"},
        {ui->actionBuild, "build"},              {ui->actionStart_Debugging, "not_started"},
        {ui->actionRestart_Debugging, "loop"},   {ui->actionDebug_Step, "skip_next"},
        {ui->actionDebug_Next, "low_priority"},  {ui->actionContinue, "play_arrow"},
        {ui->actionInterrupt, "pause"},
    };
    for (const auto &g : glyphs)
        QMaterialIcon::setIcon(QLatin1String(g.glyph), g.action);
    QMaterialIcon::setIcon(QStringLiteral("power_settings_new"), ui->actionConnect,
                           QMaterialIcon::instance()->color(QMaterialIcon::Error));
    ui->actionAutoStart->setIcon(QMaterialIcon::multiIcon(QStringLiteral("track_changes"),
                                                          QStringLiteral("sync_disabled")));
    ui->actionRemote->setVisible(false);
    ui->actionDownload->setVisible(false);
    QMaterialIcon::setIcon(QStringLiteral("reply"), ui->chatAddressTool);
    QMaterialIcon::setIcon(QStringLiteral("send"), ui->chatSendTool);
    QMaterialIcon::setIcon(QStringLiteral("save_alt"), ui->chatSaveTool);
    QMaterialIcon::setIcon(QStringLiteral("clear_all"), ui->chatClearTool);
    QMaterialIcon::setIcon(QStringLiteral("lock_open"), ui->chatCryptTool);

    connect(ui->actionClearLog, &QAction::triggered, ui->logBrowser, &QTextBrowser::clear);
    connect(ui->chatCryptTool, &QToolButton::toggled, this, [this](bool checked) {
        QMaterialIcon::setIcon(checked ? QStringLiteral("lock") : QStringLiteral("lock_open"), ui->chatCryptTool);
    });

    ui->actionChat->setVisible(false);
    ui->actionSave_Script_As->setVisible(false);
    setupMsgWidget();
    ui->progressBar->hide();

    const QList<QAction *> views{ui->actionEditor,   ui->actionDevice_Setup, ui->actionDebugger,
                                 ui->actionTerminal, ui->actionChat,         ui->actionKolm_Help};
    for (int i = 0; i < views.size(); ++i)
        setupViewAction(views.at(i), i);

    const int iconSize = style() ? style()->pixelMetric(QStyle::PM_ButtonIconSize) : 16;
    statusText = new QLabel(this);
    chatStatus = new QStatusLabel(this);
    messageStatus = new QStatusLabel(this);
    connectionStatus = new QStatusLabel(this);
    for (QStatusLabel *indicator : {chatStatus, messageStatus, connectionStatus})
        indicator->setIconSize(iconSize);
    ui->statusbar->addPermanentWidget(statusText);
    ui->statusbar->addPermanentWidget(chatStatus);
    ui->statusbar->addPermanentWidget(messageStatus);
    ui->statusbar->addPermanentWidget(connectionStatus);
    connectionStatus->status(QStringLiteral("phonelink_off"), QMaterialIcon::Warning, tr("Not connected"));

    setDefaultKey(key);

    connect(ui->actionRemote, &QAction::triggered, this, &ZuROVUrazev::on_actionConnect_triggered);
    connect(ui->zudbgPage, &ZuASMDebugger::debugsyms, this, &ZuROVUrazev::updateDebugActions);
    ui->chatAdvancedGroup->setCheckable(true);
    ui->chatAdvancedGroup->setTitle(tr("Advanced"));
    setupChatWidget();
    ui->chatAdvancedGroup->fold();
    connect(ui->chatMsgEdit, &QLineEdit::returnPressed, this, &ZuROVUrazev::on_chatSendTool_clicked);
    KolmProjectWindow *page = ui->projectPage;
    connect(ui->actionCopy, &QAction::triggered, page, &KolmProjectWindow::copy);
    connect(ui->actionCut, &QAction::triggered, page, &KolmProjectWindow::cut);
    connect(ui->actionPaste, &QAction::triggered, page, &KolmProjectWindow::paste);
    connect(page, &KolmProjectWindow::projectModified, this, &ZuROVUrazev::project_modified);
    connect(page, &KolmProjectWindow::compiledChanged, this, &ZuROVUrazev::project_compiled);
    connect(page, &KolmProjectWindow::compilationFinished, this, &ZuROVUrazev::project_compilationFinished);
    connect(page, &KolmProjectWindow::information, this, &ZuROVUrazev::logInfo);
    connect(page, &KolmProjectWindow::error, this, &ZuROVUrazev::logError);
    connect(page, &KolmProjectWindow::copyAvailable, ui->actionCopy, &QAction::setEnabled);
    connect(page, &KolmProjectWindow::copyAvailable, ui->actionCut, &QAction::setEnabled);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { ui->actionPaste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty()); });
    connect(ui->actionFind_Replace, &QAction::triggered, page, &KolmProjectWindow::showFindReplace);
    connect(ui->msgHalRegTypeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), ui->msgHalRegValueStack,
            &QStackedWidget::setCurrentIndex);
    connect(disassembler, &KolmDisassembler::finished, this, &ZuROVUrazev::disasm_finished);
    connect(disassembler, &KolmDisassembler::error, this, &ZuROVUrazev::logError);
    connect(localDebugger, &KolmLocalDebugger::output, this, &ZuROVUrazev::logInfo);
    connect(localDebugger, &KolmLocalDebugger::error, this, &ZuROVUrazev::logError);
    connect(localDebugger, &KolmLocalDebugger::finished, this, &ZuROVUrazev::emulator_finished);
    connect(&msgTimer, &QTimer::timeout, this, &ZuROVUrazev::msg_timeout);
    connect(&pingTimer, &QTimer::timeout, this, &ZuROVUrazev::ping_timeout);
    connect(ui->actionExit, &QAction::triggered, this, &QWidget::close);
    ui->actionExit->setShortcut(QKeySequence::Quit);
    ui->logBrowser->hide();
    loadReference();
    buildRecentMenu();
    createUpdater();

    usb_disconnected();
}

ZuROVUrazev::~ZuROVUrazev()
{
    stopProgressBar();
    usb_disconnected();
    // Children that still report while they go (a running update check,
    // the pages) must meet a whole window: they go first.
    destroyUpdater();
    delete centralWidget();
    if (localDebugger) {
        disconnect(localDebugger, nullptr, this, nullptr);
        delete localDebugger;
        localDebugger = nullptr;
    }
    delete hexValidator;
    delete ui;
}

void ZuROVUrazev::loadReference()
{
    QFile reference(QStringLiteral(":/data/kolm.md"));
    if (reference.open(QIODevice::ReadOnly))
        setReferenceMarkdown(ui->kolmReferenceBrowser->document(), QString::fromUtf8(reference.readAll()));
}

void ZuROVUrazev::externalMessage(QString data)
{
    if (data == QLatin1String("show"))
        raise();
}

void ZuROVUrazev::pagesel_clicked(int ind)
{
    ui->debugToolbar->setVisible(ind == T_Debug);
    ui->codeToolbar->setVisible(ind == T_Script);
    if (ind == T_Messages)
        messageStatus->off();
    if (ind == T_Chat)
        chatStatus->off();
    if (ind == T_Config) {
        if (messenger)
            ui->deviceInfoBrowser->setHtml(device.info);
        else
            ui->deviceInfoBrowser->clear();
    }
    ui->stackedWidget->setCurrentIndex(ind);
}

void ZuROVUrazev::setupViewAction(QAction *action, int index)
{
    action->setData(index);
    connect(action, &QAction::triggered, this, [this, index] { pagesel_clicked(index); });
}

void ZuROVUrazev::viewActionEnable(int index, bool enable)
{
    QAction *const actions[] = {ui->actionEditor, ui->actionDevice_Setup, ui->actionDebugger, ui->actionTerminal,
                                ui->actionChat};
    if (index >= 0 && index < int(sizeof actions / sizeof *actions))
        actions[index]->setEnabled(enable);
}

void ZuROVUrazev::viewActionsReset()
{
    for (int i = T_Script; i <= T_Chat; ++i)
        viewActionEnable(i, true);
}

void ZuROVUrazev::pushConfigWidget(QWidget *w)
{
    configWidget = w;
    if (w) {
        ui->deviceConfigNoneLabel->hide();
        ui->verticalLayout_5->insertWidget(0, w);
    } else {
        ui->deviceConfigNoneLabel->show();
    }
}

void ZuROVUrazev::freeConfigWidget()
{
    if (configWidget) {
        configWidget->hide();
        ui->verticalLayout_5->removeWidget(configWidget);
        configWidget->deleteLater();
        configWidget = nullptr;
    }
    ui->deviceConfigNoneLabel->show();
}

void ZuROVUrazev::startProgressBar(const QString &text)
{
    ui->deviceBar->setEnabled(false);
    ui->progressBar->setFormat(text);
    ui->progressBar->setRange(0, 0);
    ui->progressBar->show();
}

void ZuROVUrazev::setProgress(const QString &text, int value, int maximum)
{
    ui->progressBar->setFormat(text);
    if (value == 0 && maximum == 0) {
        ui->progressBar->setRange(0, 0);
    } else {
        ui->progressBar->setRange(0, maximum);
        ui->progressBar->setValue(value);
    }
}

void ZuROVUrazev::stopProgressBar()
{
    ui->progressBar->hide();
    ui->deviceBar->setEnabled(messenger != nullptr);
}

bool ZuROVUrazev::startEmulator(bool withProgress)
{
    if (localDebugger->process()->state() == QProcess::Running)
        return true;
    if (!withProgress) {
        localDebugger->start();
        return true;
    }
    const quint16 port = quint16(settings.value(QLatin1String(KolmLocalDebugger::PortKey),
                                                KolmLocalDebugger::DefaultPort).toUInt());
    QPointer<ZuROVUrazev> self(this);
    // Something else on the port would take our connection: the emulator
    // could not listen there.
    if (emulatorPortAnswers(port) || !self || m_closed)
        return false;

    QPointer<QProgressDialog> progress = new QProgressDialog(this);
    progress->setRange(0, 100);
    progress->setValue(1);
    progress->setLabelText(tr("Emulator initialization"));
    progress->setWindowModality(Qt::WindowModal);
    progress->open();
    localDebugger->start();
    bool ready = false;
    for (int i = 0; i < 100 && !ready; ++i) {
        HIDProxy::qSleep(100);
        if (!self)
            return false;
        if (m_closed || localDebugger->process()->state() == QProcess::NotRunning)
            break;
        ready = emulatorPortAnswers(port);
        if (!self)
            return false;
        if (progress)
            progress->setValue(progress->value() + 1);
    }
    if (progress) {
        progress->setValue(100);
        progress->deleteLater();
    }
    // The window was closed meanwhile: no emulator outlives it.
    if (m_closed) {
        localDebugger->stop(false);
        return false;
    }
    return ready && localDebugger->process()->state() == QProcess::Running;
}

void ZuROVUrazev::on_actionKey_triggered()
{
    QPointer<ZuASMGetKey> dialog = new ZuASMGetKey(this);
    dialog->setKey(key);
    const int result = dialog->exec();
    if (!dialog)
        return;
    if (result == QDialog::Accepted)
        dialog->getKey(key);
    delete dialog;
}

void ZuROVUrazev::on_projectPage_hideRequested()
{
    if (ui->actionLog->isChecked())
        ui->actionLog->setChecked(false);
}

void ZuROVUrazev::closeEvent(QCloseEvent *event)
{
    QPointer<ZuROVUrazev> self(this);
    if (ui->projectPage->modified() && !ui->projectPage->trySaveChanges()) {
        if (self)
            event->ignore();
        return;
    }
    if (!self)
        return;
    settings.setValue(QStringLiteral("Window"), saveState());
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    if (messenger) {
        messenger->close();
        usb_disconnected();
    }
    if (localDebugger->process()->state() != QProcess::NotRunning) {
        QPointer<QProgressDialog> progress = new QProgressDialog(this);
        progress->setRange(0, 100);
        progress->setValue(0);
        progress->setWindowModality(Qt::WindowModal);
        progress->setLabelText(tr("Emulator process shutdown"));
        // Shown at once, not after the dialog's own delay, which outlasts
        // the wait: the window takes no input while it closes.
        progress->open();
        disconnect(localDebugger, &KolmLocalDebugger::finished, this, &ZuROVUrazev::emulator_finished);
        localDebugger->stop(false);
        for (int i = 0; i < 100 && localDebugger->process()->state() != QProcess::NotRunning; ++i) {
            HIDProxy::qSleep(20);
            if (!self)
                return;
            if (progress)
                progress->setValue(progress->value() + 1);
        }
        delete progress;
    }
    m_closed = true;
    QMainWindow::closeEvent(event);
}
