#pragma once

#include "uart_frame.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>

class HIDProxy;
class QFile;
class QProgressDialog;
class UARTCommunicator;
class hiddfu_runner;
struct DFUStatus;
namespace Ui {
class HIDDfu;
}

// The firmware updater's window. It searches for a controller sitting in
// its bootloader, over USB HID or a framed serial link, shows what the
// bootloader says about itself, takes a firmware package dropped onto it,
// checks it and has the runner's worker thread write it. Tool buttons
// restart the bootloader, launch the firmware or erase the storage. The
// window ends itself with an exit code that tells the process what to run
// next: 0 nothing, 1 the IDE, 2 the updater again.
//
// It owns the device of the search (the HID device or the serial link) and
// lends it to the runner while an operation runs.
class HIDDfu : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString transport READ transport WRITE setTransport)
    Q_PROPERTY(QString medium READ medium WRITE setMedium)
    Q_PROPERTY(uint baudrate READ baudrate WRITE setBaudrate)
    Q_PROPERTY(int address READ address WRITE setAddress)
    Q_PROPERTY(QString file READ file WRITE setFile)

public:
    // How the window ends itself, from its window flags.
    enum RunMode { ApplicationWindow = 0, ModalDialog = 1, Embedded = 2 };
    enum ExitCode { ExitDone = 0, ExitToIde = 1, ExitRestartUpdater = 2 };
    // Bootloader commands of reboot().
    enum RebootMode : unsigned char { RestartBootloader = 4, LaunchFirmware = 5 };

    static constexpr int SearchTickMs = 500;
    static constexpr int FirstSearchMs = 1000;
    static constexpr int SearchAttempts = 10;
    static constexpr int RebootDelayMs = 2000;
    static constexpr int BoxTimeoutSeconds = 5;
    static constexpr char Manufacturer[] = "Halvane";

    // Makes the USB device object of a search attempt, unopened; an empty
    // factory gives the desktop back end.
    using ProxyFactory = std::function<HIDProxy *(QObject *parent)>;
    static void setProxyFactory(ProxyFactory factory);

    explicit HIDDfu(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~HIDDfu() override;

    QString transport() const { return m_transport; }
    void setTransport(const QString &transport) { m_transport = transport; }
    QStringList deviceNames() const { return m_deviceNames; }
    void setDeviceNames(const QStringList &names) { m_deviceNames = names; }
    QString medium() const { return m_medium; }
    void setMedium(const QString &medium) { m_medium = medium; }
    uint baudrate() const { return m_baudrate; }
    void setBaudrate(uint baudrate) { m_baudrate = baudrate; }
    int address() const { return m_address; }
    void setAddress(int address) { m_address = address; }
    QString file() const { return m_file; }
    // Keeps the canonical path of an existing file; empty otherwise.
    void setFile(const QString &file);

    int runMode() const { return m_runMode; }
    int exitCode() const { return m_exitCode; }

    // Prepares the link for the transport and starts the device search;
    // false when the transport cannot be used.
    bool init();

signals:
    // The window ended itself.
    void finished();

public slots:
    void connectDfu();
    void on_dfuDropArea_changed(QString file);
    void on_launchTool_clicked();
    void on_restartTool_clicked();
    void on_sdfuTool_clicked();
    void on_eepromTool_clicked();
    void thread_error(int code, QVariant param);
    void thread_progress(int prog);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum LinkMode { LinkUsb = 0, LinkSerial = 1 };

    void setDevMode(bool dev);
    void reboot(unsigned char mode);
    QString getInfo();
    bool postConnected(const QString &name);
    bool flash(const QString &path);
    void eeprom_erase();
    void flash_finished(bool ok);
    void file_restart();
    bool checkFile(QFile &file, QString &info);

    // How a search attempt ended: GiveUp ends the search at once.
    enum Attempt { Found, NotFound, GiveUp };
    Attempt searchUsb();
    Attempt searchSerial();
    // The serial devices that answer the ping, in arrival order.
    QList<UARTMessage> pingSerial();
    // After a failed attempt: counts it and gives up after the last.
    void attemptFailed(bool giveUp);
    bool linkOpen() const;
    bool readStatus(DFUStatus *status);
    // The device object the runner works on.
    void *handle() const;
    void startRunner(const QString &op, QFile *file);
    void releaseLink();
    void appendLog(const QString &html);
    // A message box on the window that may go away while the box runs:
    // NoButton when it did.
    QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                        Qt::TextFormat format = Qt::AutoText);
    void warn(const QString &text);
    // Asks whether a running flash may be stopped; false also when the
    // window went away meanwhile.
    bool confirmStopFlash();
    // The storage erase's refusals: a box that closes itself, and a log line.
    void refuseErase(const QString &text);

    Ui::HIDDfu *ui;
    int m_runMode;
    int m_exitCode = ExitDone;
    QString m_transport;
    QStringList m_deviceNames;
    QString m_medium;
    uint m_baudrate = 115200;
    int m_address = -1;
    int m_linkMode = LinkUsb;
    HIDProxy *m_hid = nullptr;
    UARTCommunicator *m_link = nullptr;
    hiddfu_runner *m_runner = nullptr;
    QString m_file;
    QFile *m_firmware = nullptr;
    QTimer m_searchTimer;
    QProgressDialog *m_searchDialog = nullptr;
    int m_attempts = 0;
    // An attempt is running: ticks that fall into its waits are skipped.
    bool m_searching = false;
    // A package is being checked or flashed: a second one is refused.
    bool m_flashing = false;
    // The runner works on the device: results are taken only meanwhile.
    bool m_operating = false;
};
