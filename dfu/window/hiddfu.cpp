#include "hiddfu.h"

#include "dfu_images.h"
#include "dfu_package.h"
#include "dfu_status.h"
#include "hiddfu_runner.h"
#include "hiddfu_worker.h"
#include "hidproxy_desktop.h"
#include "qautoclosemessagebox.h"
#include "qmaterialfont.h"
#include "qpathparser.h"
#include "themedetector.h"
#include "uartcommunicator.h"
#include "ui_hiddfu.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProgressDialog>
#include <QTextCursor>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

// Serial bootloader commands of the window.
constexpr char ControlCommand = 0x01;
constexpr char InfoCommand = 0x04;
constexpr char PingCommand = 0x06;
// The USB command report and its size: command code and a 32-bit argument.
constexpr int CommandReport = 1;
constexpr int CommandSize = 5;
constexpr int InfoReport = 4;
constexpr int InfoSize = 32;
// A serial scan's answers carry a 24-byte device description.
constexpr int ScanAnswerSize = 24;
constexpr uint8_t ScanAddress = 0xFF;
constexpr uint8_t LastAddress = 254;
// Status flags that make the storage erase wait: erase, write, and a
// storage operation of the bootloader's own.
constexpr uint8_t BusyFlags = 0x01 | 0x02 | 0x10;

// Latin-1 text up to the first NUL byte.
QString latin1Text(const QByteArray &bytes)
{
    const int end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}

HIDDfu::ProxyFactory &proxyFactory()
{
    static HIDDfu::ProxyFactory factory;
    return factory;
}

} // namespace

void HIDDfu::setProxyFactory(ProxyFactory factory)
{
    proxyFactory() = std::move(factory);
}

HIDDfu::HIDDfu(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , ui(new Ui::HIDDfu)
{
    initDfuImages();
    if ((flags & Qt::Dialog) == Qt::Dialog) {
        m_runMode = ModalDialog;
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowModality(Qt::WindowModal);
    } else if (flags & Qt::Window) {
        m_runMode = ApplicationWindow;
    } else {
        m_runMode = Embedded;
    }

    ui->setupUi(this);
    ui->eStorTool->hide();
    ui->eepromTool->hide();
    ui->progressBar->setRange(0, 100);
    ui->progressBar->hide();
    ui->stackedWidget->setCurrentWidget(ui->dropPage);
    // Bootloader and device names are shown as they come; nothing is shown
    // before a device is found.
    ui->statusBar->setTextFormat(Qt::PlainText);
    ui->infoLabel->setTextFormat(Qt::PlainText);
    ui->statusBar->clear();
    ui->infoLabel->clear();
    QMaterialIcon::setIcon(QStringLiteral("autorenew"), ui->restartTool);
    QMaterialIcon::setIcon(QStringLiteral("system_update_alt"), ui->sdfuTool);
    QMaterialIcon::setIcon(QStringLiteral("sd_storage"), ui->eStorTool);
    QMaterialIcon::setIcon(QStringLiteral("memory"), ui->eepromTool);
    QMaterialIcon::setIcon(QStringLiteral("launch"), ui->launchTool);
    setStyleSheet(ThemeDetector::isDarkThemeEnabled() ? QStringLiteral("HIDDfu{background:black;}")
                                                      : QStringLiteral("HIDDfu{background:white;}"));
    ui->controlWidget->setEnabled(false);
    ui->stackedWidget->setEnabled(false);

    m_searchTimer.setInterval(SearchTickMs);
    m_searchTimer.setSingleShot(false);
    connect(&m_searchTimer, &QTimer::timeout, this, &HIDDfu::connectDfu);
    setDevMode(false);
}

HIDDfu::~HIDDfu()
{
    m_searchTimer.stop();
    // The worker must be done with device and file before they go.
    if (m_runner) {
        disconnect(m_runner, nullptr, this, nullptr);
        m_runner->abort();
        delete m_runner;
    }
    delete m_firmware;
    releaseLink();
    delete ui;
}

void HIDDfu::setFile(const QString &file)
{
    m_file = QPathParser::canonicalFilePath(file);
}

void HIDDfu::setDevMode(bool dev)
{
    Q_UNUSED(dev)
    ui->sdfuTool->hide();
}

void HIDDfu::releaseLink()
{
    if (m_hid) {
        m_hid->close();
        delete m_hid;
        m_hid = nullptr;
    }
    if (m_link) {
        m_link->close();
        m_link->drop();
        delete m_link;
        m_link = nullptr;
    }
}

bool HIDDfu::init()
{
    releaseLink();
    if (m_runner) {
        disconnect(m_runner, nullptr, this, nullptr);
        delete m_runner;
        m_runner = nullptr;
    }

    m_transport = m_transport.toLower();
    if (m_transport == QLatin1String("usb")) {
        m_linkMode = LinkUsb;
    } else if (m_transport == QLatin1String("rs485")) {
        m_linkMode = LinkSerial;
        if (m_medium.isEmpty())
            return false;
        // Without a parent: the runner moves it into its thread.
        m_link = new UARTCommunicator;
        if (m_baudrate == 0)
            m_baudrate = UARTCommunicator::DefaultBaud;
    } else {
        return false;
    }

    m_runner = new hiddfu_runner(hiddfu_runner::Mode(m_linkMode), this);
    connect(m_runner, &hiddfu_runner::error, this, &HIDDfu::thread_error);
    connect(m_runner, &hiddfu_runner::progress, this, &HIDDfu::thread_progress);

    m_searchTimer.stop();
    delete m_searchDialog;
    m_searchDialog = new QProgressDialog(tr("Search DFU Devices"), tr("Cancel"), 0, SearchAttempts, this);
    m_searchDialog->setWindowModality(Qt::WindowModal);
    m_attempts = 0;
    QTimer::singleShot(FirstSearchMs, &m_searchTimer, qOverload<>(&QTimer::start));
    return true;
}

bool HIDDfu::linkOpen() const
{
    if (m_linkMode == LinkUsb)
        return m_hid && m_hid->isOpen();
    return m_link && m_link->isOpen();
}

bool HIDDfu::readStatus(DFUStatus *status)
{
    if (m_linkMode == LinkUsb)
        return getStatus(m_hid, status);
    return getUStatus(m_link, status);
}

void *HIDDfu::handle() const
{
    if (m_linkMode == LinkUsb)
        return m_hid;
    return m_link;
}

// ---------------------------------------------------------------------------
// Device search

void HIDDfu::connectDfu()
{
    // The serial waits run the event loop, and with it this timer: an
    // attempt never starts inside another.
    if (m_searching)
        return;
    m_searching = true;
    const QPointer<HIDDfu> self(this);
    Attempt attempt = NotFound;
    if (m_linkMode == LinkUsb)
        attempt = searchUsb();
    else if (m_linkMode == LinkSerial)
        attempt = searchSerial();
    if (!self)
        return;
    m_searching = false;
    if (attempt != Found)
        attemptFailed(attempt == GiveUp);
}

HIDDfu::Attempt HIDDfu::searchUsb()
{
    m_hid = proxyFactory() ? proxyFactory()(nullptr) : new HIDProxyDesktop;
    QStringList found;
    for (const QString &name : qAsConst(m_deviceNames))
        found += m_hid->availableHidDevices(QLatin1String(Manufacturer), name);
    for (const QString &name : qAsConst(found)) {
        if (m_hid->setDevice(name) && postConnected(name))
            return Found;
    }
    m_hid->close();
    delete m_hid;
    m_hid = nullptr;
    return NotFound;
}

HIDDfu::Attempt HIDDfu::searchSerial()
{
    const QPointer<HIDDfu> self(this);
    m_link->setBaud(int(std::min<uint>(m_baudrate, INT_MAX)));
    if (!m_link->open(m_medium, QVariantHash())) {
        if (m_searchDialog)
            m_searchDialog->cancel();
        return GiveUp;
    }
    const QList<UARTMessage> found = pingSerial();
    if (!self)
        return NotFound;
    if (!found.isEmpty()) {
        m_link->setTarget(found.first().first);
        if (postConnected(latin1Text(found.first().second)))
            return Found;
        if (!self)
            return NotFound;
    }
    m_link->close();
    m_link->drop();
    return NotFound;
}

QList<UARTMessage> HIDDfu::pingSerial()
{
    const QPointer<HIDDfu> self(this);
    const int baud = m_link->baud();
    // 5000000 / baud ms rounded half up (43 ms at 115200 baud); a wait of 0
    // would not wait at all.
    const int replyMs = std::max(1, (5000000 + baud / 2) / baud);
    QList<UARTMessage> found;
    // Frames left from an earlier exchange answer nothing of this one.
    m_link->drop();

    if (m_address >= 0 && m_address <= LastAddress) {
        const uint8_t address = uint8_t(m_address);
        m_link->sendto(address, QByteArray(1, PingCommand));
        if (!m_link->waitMessageReady(0))
            m_link->waitMessageReady(replyMs);
        if (!self)
            return found;
        const UARTMessage answer = m_link->get();
        if (answer.first == address)
            found.append(answer);
        return found;
    }

    // A scan: every device answers the broadcast ping with its description.
    const qint64 scanMs = qint64(replyMs) * 256;
    QElapsedTimer clock;
    clock.start();
    m_link->sendto(ScanAddress, QByteArray(1, PingCommand));
    bool arrived = m_link->waitMessageReady(int(std::min<qint64>(scanMs, INT_MAX)));
    // A line that never falls silent must not hold the scan: it ends when
    // its time is up, whatever still arrives.
    for (;;) {
        if (!self)
            return found;
        if (!arrived)
            break;
        for (UARTMessage frame = m_link->get(); frame.first != ScanAddress || !frame.second.isEmpty();
             frame = m_link->get()) {
            if (frame.second.size() == ScanAnswerSize)
                found.append(frame);
        }
        const qint64 remaining = scanMs - clock.elapsed();
        if (remaining <= 0)
            break;
        arrived = m_link->waitMessageReady(int(std::min<qint64>(remaining, INT_MAX)));
    }
    return found;
}

void HIDDfu::attemptFailed(bool giveUp)
{
    const QPointer<HIDDfu> self(this);
    ++m_attempts;
    // A shown modal progress dialog runs the event loop as its value changes.
    if (m_searchDialog)
        m_searchDialog->setValue(std::min(m_attempts, SearchAttempts));
    if (!self)
        return;
    const bool cancelled = m_searchDialog && m_searchDialog->wasCanceled();
    if (!giveUp && !cancelled && m_attempts < SearchAttempts)
        return;
    m_searchTimer.stop();
    showBox(QMessageBox::Warning, tr("Firmware Update"), tr("No DFU capable USB device available"));
    if (!self)
        return;
    if (m_searchDialog) {
        m_searchDialog->deleteLater();
        m_searchDialog = nullptr;
    }
    m_exitCode = ExitDone;
    emit finished();
    if (!self)
        return;
    if (m_runMode == ApplicationWindow)
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    else if (m_runMode == ModalDialog)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool HIDDfu::postConnected(const QString &name)
{
    const QPointer<HIDDfu> self(this);
    if (m_linkMode == LinkSerial)
        ui->infoLabel->setText(QStringLiteral("0x%1:%2").arg(m_link->target(), 2, 16, QLatin1Char('0')).arg(name));
    else
        ui->infoLabel->setText(name);
    DFUStatus status;
    if (!readStatus(&status))
        return false;
    const QString info = getInfo();
    if (!self)
        return false;
    ui->statusBar->setText(info);
    m_searchTimer.stop();
    if (m_searchDialog) {
        QProgressDialog *dialog = m_searchDialog;
        m_searchDialog = nullptr;
        dialog->setValue(SearchAttempts);
        dialog->deleteLater();
        if (!self)
            return false;
    }
    ui->controlWidget->setEnabled(true);
    ui->stackedWidget->setEnabled(true);
    if (!m_file.isEmpty()) {
        QMetaObject::invokeMethod(this, "on_dfuDropArea_changed", Qt::QueuedConnection, Q_ARG(QString, m_file));
        m_file.clear();
    }
    return true;
}

QString HIDDfu::getInfo()
{
    if (!linkOpen())
        return QString();
    QString text;
    if (m_linkMode == LinkUsb) {
        QByteArray data;
        if (m_hid->getFeature(InfoSize, data, InfoReport))
            text = latin1Text(data.left(InfoSize));
    } else {
        const QPointer<HIDDfu> self(this);
        m_link->drop();
        if (!m_link->sendto(m_link->target(), QByteArray(1, InfoCommand)))
            return QString();
        const bool arrived = m_link->waitMessageReady(std::max(1, 4000000 / m_link->baud()));
        if (!self || !arrived || !m_link->pending())
            return QString();
        text = latin1Text(m_link->get().second.mid(1));
    }
    if (text.endsWith(QLatin1String(" E")))
        text.chop(2);
    else if (text.endsWith(QLatin1String(" S")))
        ui->eepromTool->show();
    return text;
}

// ---------------------------------------------------------------------------
// Flashing

void HIDDfu::on_dfuDropArea_changed(QString file)
{
    ui->stackedWidget->setCurrentWidget(ui->dfuPage);
    ui->controlWidget->setEnabled(false);
    flash(file);
}

bool HIDDfu::checkFile(QFile &file, QString &info)
{
    const QPointer<HIDDfu> self(this);
    return checkFirmwarePackage(
        file, info, [self](DFUStatus *status) { return self && self->readStatus(status); },
        [self](const QString &message) {
            if (self)
                self->warn(message);
        });
}

bool HIDDfu::flash(const QString &path)
{
    const QPointer<HIDDfu> self(this);
    ui->dfuLog->clear();
    ui->progressBar->setValue(0);
    if (!linkOpen()) {
        warn(tr("The device is not connected"));
        return false;
    }
    if (m_flashing) {
        warn(tr("Busy flashing. Please wait"));
        return false;
    }
    m_flashing = true;
    ui->progressBar->show();
    // The window takes the file over only when the runner starts: the
    // checks wait in event loops in which the window may go away.
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        warn(tr("Cannot read firmware file %1: %2").arg(path, file->errorString()));
        if (self)
            file_restart();
        return false;
    }
    QString info;
    const bool valid = checkFile(*file, info);
    if (!self)
        return false;
    if (!valid) {
        file_restart();
        return false;
    }
    appendLog(tr("Opened firmware file %1").arg(info.toHtmlEscaped()));
    const qint64 imageSize = file->size() - file->pos();

    DFUStatus status;
    const bool statusRead = readStatus(&status);
    if (!self)
        return false;
    if (!statusRead) {
        warn(tr("Communication error: during %1").arg(QStringLiteral("get status")));
        if (self)
            file_restart();
        return false;
    }
    if (qint64(status.limit) < imageSize) {
        warn(tr("Cannot flash this firmware - it is %1 bytes bigger than maximum amount of space available.")
                 .arg(imageSize - qint64(status.limit)));
        if (self)
            file_restart();
        return false;
    }
    const QString shown = info.isEmpty() ? QStringLiteral("<no info>") : info;
    const QMessageBox::StandardButton answer =
        showBox(QMessageBox::Question, tr("Firmware Update"), tr("Update firmware to %1?").arg(shown.toHtmlEscaped()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No, Qt::RichText);
    if (!self)
        return false;
    if (answer != QMessageBox::Yes) {
        file_restart();
        return false;
    }
    ui->stackedWidget->setCurrentWidget(ui->dfuPage);
    ui->controlWidget->setEnabled(false);
    ui->progressBar->setValue(0);
    ui->progressBar->show();
    m_firmware = file.release();
    startRunner(QStringLiteral("flash"), m_firmware);
    return true;
}

void HIDDfu::startRunner(const QString &op, QFile *file)
{
    m_operating = true;
    m_runner->start(op, handle(), file);
}

void HIDDfu::thread_error(int code, QVariant param)
{
    // Results of an operation that is no longer running (a second result,
    // one after a close) change nothing.
    if (!m_operating)
        return;
    QString message;
    switch (code) {
    case hiddfu_worker::LogLine:
        appendLog(param.toString().toHtmlEscaped());
        return;
    case hiddfu_worker::Done: {
        const QString text = param.canConvert<QString>() ? param.toString() : QString();
        appendLog(QStringLiteral("%1.<br>Press 'Launch' to start using new firmware")
                      .arg((text.isEmpty() ? QStringLiteral("Flashed") : text).toHtmlEscaped()));
        ui->progressBar->hide();
        m_operating = false;
        flash_finished(true);
        return;
    }
    case hiddfu_worker::EraseFailed:
        message = tr("Error erasing old firmware");
        break;
    case hiddfu_worker::CommunicationError:
        message = tr("Communication error: %1").arg(param.toString());
        break;
    case hiddfu_worker::FileReadError:
        message = tr("Error reading from file (%1)").arg(param.toString());
        break;
    case hiddfu_worker::FlashingError:
        message = tr("Error flasing new firmware. Internal error:") + QLatin1Char('\n') + param.toString();
        break;
    default:
        message = tr("Unknown error");
        break;
    }
    m_operating = false;
    const QPointer<HIDDfu> self(this);
    warn(message);
    if (self)
        flash_finished(false);
}

void HIDDfu::thread_progress(int prog)
{
    if (prog == hiddfu_worker::BusyTick) {
        ui->dfuLog->moveCursor(QTextCursor::End);
        ui->dfuLog->insertPlainText(QStringLiteral("."));
        return;
    }
    ui->progressBar->setValue(prog);
}

void HIDDfu::flash_finished(bool ok)
{
    delete m_firmware;
    m_firmware = nullptr;
    m_flashing = false;
    ui->controlWidget->setEnabled(true);
    ui->dfuDropArea->clear();
    if (ok)
        return;
    const QPointer<HIDDfu> self(this);
    emit finished();
    if (!self)
        return;
    if (m_runMode == ApplicationWindow) {
        m_exitCode = ExitRestartUpdater;
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    } else if (m_runMode == ModalDialog) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void HIDDfu::file_restart()
{
    delete m_firmware;
    m_firmware = nullptr;
    m_flashing = false;
    ui->controlWidget->setEnabled(true);
    ui->dfuDropArea->clear();
    ui->stackedWidget->setCurrentWidget(ui->dropPage);
}

// ---------------------------------------------------------------------------
// Tools

void HIDDfu::on_sdfuTool_clicked()
{
}

void HIDDfu::on_launchTool_clicked()
{
    reboot(LaunchFirmware);
}

void HIDDfu::on_restartTool_clicked()
{
    reboot(RestartBootloader);
}

void HIDDfu::reboot(unsigned char mode)
{
    if (!linkOpen())
        return;
    bool sent;
    if (m_linkMode == LinkUsb) {
        const unsigned char command[CommandSize] = {mode, 0, 0, 0, 0};
        sent = m_hid->sendPacket(command, CommandSize, CommandReport);
    } else {
        sent = m_link->sendto(m_link->target(), QByteArray(1, ControlCommand) + char(mode));
    }
    if (!sent)
        return;
    m_exitCode = mode == RestartBootloader ? ExitRestartUpdater : ExitToIde;
    ui->controlWidget->setEnabled(false);
    QTimer::singleShot(RebootDelayMs, Qt::CoarseTimer, this, [this] {
        if (m_runMode == ApplicationWindow) {
            QCoreApplication::quit();
            return;
        }
        const QPointer<HIDDfu> self(this);
        emit finished();
        if (self && m_runMode == ModalDialog)
            close();
    });
}

void HIDDfu::on_eepromTool_clicked()
{
    const QPointer<HIDDfu> self(this);
    const QMessageBox::StandardButton answer =
        showBox(QMessageBox::Question, tr("EEPROM Tool"), tr("Erase EEPROM?"), QMessageBox::Yes | QMessageBox::No);
    if (self && answer == QMessageBox::Yes)
        eeprom_erase();
}

void HIDDfu::eeprom_erase()
{
    if (!linkOpen()) {
        refuseErase(tr("The device is not connected"));
        return;
    }
    const QPointer<HIDDfu> self(this);
    DFUStatus status;
    const bool statusRead = readStatus(&status);
    if (!self)
        return;
    if (!statusRead) {
        refuseErase(tr("Communication error: during %1").arg(QStringLiteral("get status")));
        return;
    }
    if (status.flags & BusyFlags) {
        refuseErase(tr("The device is busy"));
        return;
    }
    ui->stackedWidget->setCurrentWidget(ui->dfuPage);
    ui->controlWidget->setEnabled(false);
    startRunner(QStringLiteral("eerase"), nullptr);
}

void HIDDfu::refuseErase(const QString &text)
{
    appendLog(text.toHtmlEscaped());
    // On the heap: the window may go away while the box runs.
    QPointer<QAutoCloseMessageBox> box =
        new QAutoCloseMessageBox(QMessageBox::Warning, tr("Firmware Update"), text, QMessageBox::Ok, this);
    box->setDefaultButton(QMessageBox::Ok);
    box->setTimeout(BoxTimeoutSeconds);
    box->exec();
    delete box;
}

// ---------------------------------------------------------------------------
// Window

void HIDDfu::closeEvent(QCloseEvent *event)
{
    // Stopping a flash leaves the controller without firmware: the user
    // says so first. The flash may end while the question is open.
    if (m_operating && m_firmware && !confirmStopFlash()) {
        event->ignore();
        return;
    }
    if (m_operating) {
        // The worker still uses device and file: stop it first, then close
        // again once this close has been refused.
        event->ignore();
        disconnect(m_runner, nullptr, this, nullptr);
        const QPointer<HIDDfu> self(this);
        m_runner->abort();
        if (!self)
            return;
        m_operating = false;
        delete m_firmware;
        m_firmware = nullptr;
        m_flashing = false;
        releaseLink();
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    m_searchTimer.stop();
    QWidget::closeEvent(event);
}

bool HIDDfu::confirmStopFlash()
{
    const QPointer<HIDDfu> self(this);
    const QMessageBox::StandardButton answer =
        showBox(QMessageBox::Question, tr("Firmware Update"),
                tr("The controller is being flashed. Stop and leave it without firmware?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return self && answer == QMessageBox::Yes;
}

void HIDDfu::appendLog(const QString &html)
{
    QTextCursor cursor(ui->dfuLog->document());
    cursor.movePosition(QTextCursor::End);
    if (!ui->dfuLog->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertHtml(html);
}

QMessageBox::StandardButton HIDDfu::showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton, Qt::TextFormat format)
{
    // On the heap: a box on the stack would be deleted a second time if the
    // window went away while it runs.
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, this);
    box->setTextFormat(format);
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    const int result = box->exec();
    if (!box)
        return QMessageBox::NoButton;
    const QMessageBox::StandardButton clicked = result == -1 ? QMessageBox::Cancel : box->standardButton(box->clickedButton());
    delete box;
    return clicked;
}

void HIDDfu::warn(const QString &text)
{
    showBox(QMessageBox::Warning, tr("Firmware Update"), text);
}
