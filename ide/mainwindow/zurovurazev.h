#ifndef KOLM_ZUROVURAZEV_H
#define KOLM_ZUROVURAZEV_H

// The IDE's main window. It owns everything of a session: the form with its
// six pages, the open transport to a controller and the connection state,
// the packet key, the reply and ping timers, the disassembler and local
// emulator bridges, the self-update checker, the status-bar indicators, the
// log panel and the progress bar.
//
// One file per concern: zurovurazev.cpp (construction, pages, progress,
// emulator start, closing), zurovurazev_log.cpp (log panel and window
// settings), zurovurazev_about.cpp (About box and update notice),
// zurovurazev_project.cpp (project actions), zurovurazev_recent.cpp (recent
// projects menu), zurovurazev_package.cpp (project packages),
// zurovurazev_device.cpp (connection and device actions), zurovurazev_command.cpp
// (requests and the reply dispatcher), zurovurazev_info.cpp,
// zurovurazev_cfg.cpp and zurovurazev_asm.cpp (reply handlers),
// zurovurazev_gpio.cpp (GPIO mapping, GPIO helper and the configuration
// information box), zurovurazev_msg.cpp (message console),
// zurovurazev_chat.cpp (chat page), zurovurazev_dbg.cpp (debugging) and
// zurovurazev_prefs.cpp (preferences).

#include <QByteArray>
#include <QDateTime>
#include <QMainWindow>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QSettings>
#include <QString>
#include <QTimer>
#include <QVector>

#include <functional>

class KolmDisassembler;
class KolmProject;
class KolmLocalDebugger;
class QLabel;
class QRegularExpressionValidator;
class QStatusLabel;
class Ui_ZuROVUrazev;
class ZUUpdater;
class ZuHalAbstractMessenger;
class ZuHalPacket;
class ChatAdvancedForm;
class ChatFeed;
class QPushButton;
class TurnUpdates;

class ZuROVUrazev : public QMainWindow {
    Q_OBJECT
    friend class ZuROVUrazevTest;
    friend class ZuROVUrazevDeviceTest;
    friend class ZuROVUrazevProjectTest;
    friend class ZuROVUrazevConnectTest;
    friend class ZuROVUrazevConnectBench;
    friend class ZuROVUrazevGpioTest;
    friend class ZuROVUrazevNewTest;
    friend class ZuROVUrazevPackageTest;
    friend class ZuROVUrazevAsmTest;
    friend class ZuROVUrazevEmulatorTest;
    friend class ZuROVUrazevDebugBench;
    friend class ZuROVUrazevScriptChainTest;
    friend class ZuROVUrazevChainTest;
    friend class ZuROVUrazevJourneyTest;
    friend class ZuROVUrazevActionsTest;
    friend class FirmwareHandOffDriver;
    friend class ZuROVUrazevMsgTest;
    friend class ZuROVUrazevChatTest;
    friend class ZuROVUrazevEmulatorConsoleTest;
    friend class RussianPicturesTest;

public:
    // Page indices of the form's page stack.
    enum Tabs { T_Script = 0, T_Config = 1, T_Debug = 2, T_Messages = 3, T_Chat = 4, T_Help = 5 };
    // Connection state of the device command chain.
    enum Cfg_States {
        CS_IDLE = 0,
        CS_GET_RELAY = 1,
        CS_DEV_PING = 2,
        CS_GET_ADDR = 3,
        CS_GET_INFO = 4,
        CS_GET_CFG = 5,
        CS_GET_ASM_INFO = 6,
        CS_WRITE_PREP = 7,
        CS_ERASE_REBOOT = 8,
        CS_WRITE_CFG = 9,
        CS_WRITE_ASM_BIN = 10,
        CS_ASM_START = 11,
        CS_ASM_HALT = 12,
        CS_DBG_HALT = 13,
        CS_ASM_STATE = 14,
        CS_ASM_RAM = 15
    };
    enum PostUpload { PU_NOP = 0, PU_Launch = 1, PU_Debug = 2 };
    enum Devices : quint32 { D_PLC = 0, D_GW = 1, D_Generic = 254, D_Unknown = 255 };
    enum DevState : quint32 { DS_Messaging = 0, DS_Config = 1, DS_Debugging = 2, DS_Invalid = 255 };

    // The follow-up a reply handler names: done stops the reply timer,
    // valid sends the request cmd/sub/data.
    struct NextPkt {
        bool done = false;
        bool valid = false;
        quint8 cmd = 0;
        quint16 sub = 0;
        QByteArray data;
    };

    // The connected device's record.
    struct Device {
        Devices kind = D_Unknown;
        DevState state = DS_Invalid;
        QString info;
        QString configInfo;
        QString firmware;
        QByteArray ioHint;
        QMap<QString, QString> gpioMap;
        quint16 address = 0xFFFF;
        quint16 localAddress = 0xFFFF;
        quint32 capabilities = 0;
        quint32 configSize = 0;
        quint32 scriptSpace = 0;
        quint32 imageSize = 0;
        QByteArray config;
        QByteArray image;
        quint32 vmInfo[3] = {0, 0, 0};
    };

    // The newest lines the log panel keeps.
    static constexpr int LogLines = 10000;
    static constexpr int LogSlice = 1000;
    // Event-loop results that hand the process on: another IDE pass, or the
    // firmware updater.
    static constexpr int RestartCode = 254;
    static constexpr int FirmwareUpdateCode = 255;
    // The recent projects, most recent first.
    static constexpr const char *RecentFilesKey = "Editor/RecentFiles";

    explicit ZuROVUrazev(QWidget *parent = nullptr);
    ~ZuROVUrazev() override;

    // Window settings: read before the window is shown, written after its
    // event loop has ended.
    void readSettings();
    void writeSettings();

    // Transport name and bootloader product string for the firmware updater,
    // kept from the last connection; read when the event loop ends for the
    // firmware update.
    QString dfuTransport() const { return m_dfuTransport; }
    QString dfuProduct() const { return m_dfuProduct; }

    void setupViewAction(QAction *action, int index);
    void viewActionEnable(int index, bool enable);
    void viewActionsReset();

    // Hosts a configuration editor on the Device page; a null one shows the
    // "no configuration" label. Callers free the previous editor first.
    void pushConfigWidget(QWidget *w);
    void freeConfigWidget();

    void startProgressBar(const QString &text);
    void setProgress(const QString &text, int value, int maximum);
    void stopProgressBar();

    // Starts the local emulator. With progress, waits (in a nested event
    // loop, behind a progress dialog) until it accepts connections on its
    // port: false when the port is already taken, the child ends, or it does
    // not listen within ten seconds.
    bool startEmulator(bool withProgress);

    // Takes an open transport as the connection, as a completed Connect
    // does (the window owns it from now on and listens to its signals),
    // with the device at `address` reached through `localAddress`.
    void attachTransport(ZuHalAbstractMessenger *transport, quint16 address, quint16 localAddress);

    // Builds the open project unless its build is up to date, in a nested
    // event loop; true when an up-to-date build exists afterwards. The
    // window may have changed in any way when it returns.
    bool project_waitCompiled();

public slots:
    // A line from a later instance of the IDE: "show" raises the window.
    void externalMessage(QString data);
    void logInfo(QString data);
    void logError(QString data);

protected:
    void closeEvent(QCloseEvent *event) override;
    // A new, unopened transport for a type number of the device selection
    // (0 USB HID, 1 serial, 2 TCP, 3 UDP); none for another number.
    virtual ZuHalAbstractMessenger *createTransport(int type);

private slots:
    void pagesel_clicked(int ind);
    // Appends the queued log lines, at most `most` of them (all when
    // negative). The queue's timer appends LogSlice lines a turn, so that a
    // flood of lines never holds the window long.
    void flushLog(int most = -1);

    // Key, preferences and the project page's Escape.
    void on_actionKey_triggered();
    void on_actionPreferences_triggered();
    void on_projectPage_hideRequested();

    // About box and update notice.
    void on_actionAbout_triggered();
    void checkUpdate();
    void updater_updatesAvailable(bool can_update, QString latest, QString changelog, QString url);
    void updater_noAnswer();
    void updater_checkFailed(const QString &reason);

    // Project actions.
    void on_actionNew_Script_triggered();
    void on_actionOpen_Script_triggered();
    void on_actionClose_Script_triggered();
    void on_actionSave_Script_triggered();
    void on_actionBuild_triggered();
    void on_actionExport_Script_triggered();
    void on_actionImport_Script_triggered();
    void codeOpenRecentAction();
    void codeOpenRecentClear();
    void project_modified(bool on);
    void project_compiled(bool on);
    void project_compilationFinished(bool result);
    // The configuration editor's info(): the configuration information box.
    void displayCfgInfo();
    // Inserts a pin set-up statement composed in the GPIO setup dialog.
    void on_actionGPIO_Helper_triggered();

    // Connection.
    void on_actionConnect_triggered();
    void msg_timeout();
    void ping_timeout();
    void usb_disconnected();
    void msg_ready();

    // Debugging.
    void disasm_finished(bool ok);
    void emulator_finished(bool result, int code);
    void on_actionStart_Debugging_triggered();
    void on_actionRestart_Debugging_triggered();
    void on_actionDebug_Step_triggered();
    void on_actionDebug_Next_triggered();
    void on_actionInterrupt_triggered();
    void on_actionContinue_triggered();
    void on_zudbgPage_syncRam();
    // Queued after an upload for debugging: the image to the disassembler.
    void startDisassembly();

    // Message console and chat.
    void setupMsgWidget();
    void on_chatSendTool_clicked();
    // Message console (zurovurazev_msg.cpp).
    void on_msgKolmTypeCombo_currentIndexChanged(int idx);
    void on_msgMcHexRadio_toggled(bool on);
    void on_msgHalHexRadio_toggled(bool on);
    void on_msgKolmSendButton_clicked();
    void on_msgMcSendButton_clicked();
    void on_msgHalGetButton_clicked();
    void on_msgHalSetButton_clicked();
    void on_msgHalReadButton_clicked();
    void on_msgHalWriteButton_clicked();
    void on_msgHalTransceiveButton_clicked();
    void on_msgHalPeriphCombo_currentIndexChanged(int index);
    // Chat page (zurovurazev_chat.cpp).
    void on_chatAddressTool_clicked();
    void on_chatSaveTool_clicked();
    void on_chatClearTool_clicked();

private:
    // The device command layer: requests to port 1, the reply dispatcher.
    // A device address as shown: "bcst" for 0xFFFF, else "00A1h".
    static QString addressText(quint16 address);
    static QByteArray prepareCfgPacket(unsigned char cmd, unsigned short sub, const QByteArray &data);
    // A packet from the host's port to `port` of the connected device; the
    // directly attached device is addressed without a source.
    ZuHalPacket devicePacket(unsigned char port) const;
    bool sendCfgPacket(unsigned char cmd, unsigned short sub, const QByteArray &data, bool encrypt);
    bool sendLocalPacket(unsigned char port, const QByteArray &payload, bool encrypt);
    void processDataPacket(const ZuHalPacket &packet);
    void processMcReply(const ZuHalPacket &packet);
    // Packets from a port other than script, MC, host and HAL: chat traffic
    // of the chat page's Advanced group while no chain runs.
    void processOtherPort(const ZuHalPacket &packet);
    // MC reply handlers, one per command byte: the sub-command (a byte
    // offset for chunked transfers), the reply data after the 3-byte head
    // and the follow-up to fill. Device information, clock and GPIO hint
    // (zurovurazev_info.cpp):
    void processMcuInfo(unsigned short source, unsigned short sub, const unsigned char *data, unsigned len,
                        NextPkt &next);
    void processMcuIohint(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processMcuTime(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    // Configuration transfer (zurovurazev_cfg.cpp):
    void processMcuCfgRead(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processMcuCfgWrite(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processMcuCfgCtrl(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    // Script image and virtual machine (zurovurazev_asm.cpp):
    void processAsmStatus(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processAsmWrite(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processAsmCtrl(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processAsmState(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processAsmRegs(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    void processAsmRam(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next);
    // The end of a successful connection chain (zurovurazev_info.cpp).
    void deviceFirstConnected();
    // Enables the device controls by connection, capabilities, kind and
    // DevState (zurovurazev_controls.cpp).
    void setupControls();
    // Parses the device's configuration block and sets up the Device page
    // with its editor; the configuration warnings (zurovurazev_settings.cpp).
    void settingsRead();
    void warnConfigFailure();
    void warnCorruptedConfig();
    // The opened transport's first steps, and the broadcast ping of the
    // remote device discovery (zurovurazev_device.cpp).
    void usb_connected(bool nrst);
    // Keeps the open transport's name and bootloader text for the firmware
    // updater.
    void keepDfuHandOff();
    void usb_post_connected();
    void ping_start();
    // Opens the new transport behind the "Connecting to" progress dialog;
    // true once its link is up, the window open and the transport still
    // its messenger.
    bool openTransport(ZuHalAbstractMessenger *transport, const QString &address);
    // Closes the open transport, if any, and returns to the unconnected
    // state.
    void dropConnection();
    // Debugger start and virtual machine state refresh (zurovurazev_dbg.cpp).
    void debuggerInit();
    void dbgInfoStart(quint8 control, NextPkt *next);
    void dbgInfoFinished();
    // A refresh or a debug request that failed: back to idle with the
    // normal poll time and the debug actions on.
    void dbgInfoFailed();
    // The device is in a debugging session; stopped: and no refresh or
    // other request runs; can run: stopped before the script's end.
    bool debugging() const;
    bool debugStopped() const;
    bool debugCanRun() const;
    // Enables the debug actions by the three above.
    void updateDebugActions();
    // The script runs or the device is gone: the page marks no current
    // instruction, and the status bar's notice goes.
    void forgetMachinePosition();
    // Says that the script has ended, with main's result.
    void reportScriptEnd(qint32 result);
    // Sends a virtual machine request of a debug action; a failure is
    // reported and ends the refresh.
    bool sendDebugRequest(quint8 cmd, quint16 sub);
    // A reply of the script chain that holds no usable data: the device is
    // marked invalid and the detail reported; a running refresh ends.
    void asmReadError(const QString &detail, NextPkt &next);
    // The end of the connection chain on a device that runs scripts.
    void finishScriptChain(DevState devState, NextPkt &next);
    // The end of an image write the device refused: the connection closes.
    void refuseAsmWrite(const QString &text);
    // Console (zurovurazev_msg.cpp) and chat (zurovurazev_chat.cpp) sides
    // of received packets.
    void mcApiReplyReceived(const ZuHalPacket &packet);
    void halApiReplyReceived(const ZuHalPacket &packet);
    void msgKolmReceived(const QByteArray &data, bool text);
    bool checkAck(const ZuHalPacket &packet);
    void addChatMessage(const ZuHalPacket &packet, bool outgoing, bool binary);
    void sendFollowUp(const NextPkt &next);
    void showNewChatMessage();
    bool writeNextAsm(NextPkt &next);
    void processNextAsmState(NextPkt *next);
    void processPktBail(unsigned cmd, unsigned sub);
    // Reads the device's GPIO hint into its pin map and appends the
    // mapping table to its information text.
    void parseGpioMapping(const QString &t);
    void restorePollTime();
    void _transmit_error(const QString &msg);
    void _write_error(const QString &msg);
    void _read_error(const QString &msg);
    void ioErrorBox(const QString &title, const QString &text);

    // Steps of the device information and configuration replies
    // (zurovurazev_info.cpp, zurovurazev_cfg.cpp).
    void infoAddress(unsigned short source, const unsigned char *data, unsigned len, NextPkt &next);
    void infoCapabilities(const unsigned char *data, unsigned len, NextPkt &next);
    // The local device's capabilities on a relayed link: asks for the
    // remote device (an address, or "find" for a search).
    void relayCapabilities(quint32 capabilities, unsigned len, NextPkt &next);
    // The remote address dialog; false when cancelled or the window went.
    bool askRemoteAddress(QString *text);
    void infoConfigSize(const unsigned char *data, unsigned len, NextPkt &next);
    void infoConfigMax(const unsigned char *data, unsigned len, NextPkt &next);
    void infoConfigVersion(const unsigned char *data, unsigned len, NextPkt &next);
    // A reading chain that cannot go on: the device is unusable.
    void readChainFailed(NextPkt &next, const QString &detail);
    // A chain step that failed: the chain is idle and the detail reported.
    void chainStopped(NextPkt &next, const QString &detail);
    // Shows the device's battery charge in the status label, in place of
    // the one shown before.
    void showBattery(int percent);
    // An upload that stops before writing: idle, controls by DevState.
    void endUpload(bool invalid);
    void wrongEditor(NextPkt &next);
    // Names the next configuration write chunk.
    void nextConfigChunk(NextPkt &next);
    // The configuration written and nothing more to send.
    void configWritten(NextPkt &next);
    // True while `link` is still the open transport in state `expected`:
    // checked after every modal window that a reply handler opens.
    bool linkStill(const QPointer<ZuHalAbstractMessenger> &link, Cfg_States expected) const;

    void code_open(const QString &path);
    // Hands a loaded or new project to the page and the debugger page and
    // adds path to the recent projects; a refused project is destroyed.
    void adoptProject(KolmProject *project, const QString &path);
    void buildRecentMenu();
    void checkRecentFile(const QString &path);
    // Refills the message page's hardware access lists from the project's
    // board package.
    void halApiReinit();
    // Console sends: header and head of an MC command or a HAL operation,
    // the check of the HAL data field, and the send itself (logged).
    void prepareMcPacket(ZuHalPacket &packet);
    void prepareHalPacket(ZuHalPacket &packet, unsigned char op);
    bool validateHalParams(QPushButton *button);
    bool msgSendPkt(const ZuHalPacket &packet);
    void sendHalOperation(QPushButton *button, unsigned char op);
    quint32 halRegisterAddress() const;
    // "Reply received" and the message indicator while the console is not
    // shown.
    void showConsoleReply();
    // The chat page's Advanced form, its conversation and the chat edits
    // (called by the constructor); the acknowledgement of a received
    // message.
    void setupChatWidget();
    void sendAck(const ZuHalPacket &packet);
    void createUpdater();
    void destroyUpdater();
    void loadReference();
    void appendLogLine(const QString &colorName, const QString &data);

    Ui_ZuROVUrazev *ui;
    ZUUpdater *updater = nullptr;
    QTimer updateTimer;
    bool manualCheck = false;
    QWidget *configWidget = nullptr;
    ZuHalAbstractMessenger *messenger = nullptr;
    QString m_dfuTransport;
    QString m_dfuProduct;
    ChatAdvancedForm *chatAdvancedForm = nullptr;
    ChatFeed *chatFeed = nullptr;
    // Console fields set once per event-loop turn under a flood of replies.
    TurnUpdates *consoleUpdates = nullptr;
    KolmDisassembler *disassembler;
    QRegularExpressionValidator *hexValidator = nullptr;
    KolmLocalDebugger *localDebugger;
    QSettings settings;
    unsigned char key[8];
    QStatusLabel *connectionStatus = nullptr;
    QStatusLabel *messageStatus = nullptr;
    QStatusLabel *chatStatus = nullptr;
    QLabel *statusText = nullptr;
    // The battery part of statusText's text as last shown.
    QString batteryShown;
    QTimer msgTimer;
    QTimer pingTimer;
    Cfg_States state = CS_IDLE;
    PostUpload postUpload = PU_NOP;
    QVector<QPair<unsigned short, QString>> pingResults;
    Device device;
    bool relayConnect = false;
    quint32 chunkOffset = 0;
    // The RAM offset the last 0x26 request asked for.
    quint32 ramOffset = 0;
    // The settling time between a link coming up and its first request.
    QTimer m_settleTimer;
    // Tests and benchmarks observe here every MC reply the dispatcher hands
    // to its command's handler.
    std::function<void(const ZuHalPacket &)> m_mcReplyObserver;
    // Chunk replies in a row that brought nothing for the offset asked.
    int chunkMisses = 0;

    // Set once a close went through: a wait still running gives up.
    bool m_closed = false;
    // Log lines waiting for the next turn of the event loop.
    QStringList m_pendingLog;
    QTimer m_logFlush;

    // Device actions: upload (zurovurazev_upload.cpp), run control, reboot,
    // reset, connection mode, clock and the firmware update hand-off
    // (zurovurazev_actions.cpp).
private slots:
    void on_actionUpload_triggered();
    void on_actionLaunch_triggered();
    void on_actionReboot_Device_triggered();
    void on_actionReset_Device_triggered();
    void on_actionUSB_ModeSwitch_triggered();
    void on_actionTime_Sync_triggered();
    void on_actionFirmware_Update_triggered();

private:
    // Warns that the device's configuration block cannot be used and marks
    // the device invalid.
    void refuseConfig(const QString &text);
    // Sets the device clock to the current UTC time (7/1).
    void sendTimeSyncPacket();
    // The current UTC time for the device clock; tests put a fixed one.
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTimeUtc(); };
};

#endif
