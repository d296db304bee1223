#include "modal_driver.h"
#include "serial_bootloader.h"
#include "temp_settings.h"
#include "updater_window.h"

#include <QProgressDialog>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace updater_window;

namespace {

constexpr int Wait = 20000;
constexpr uint8_t SerialAddress = 0x05;

// What happens inside the question that a close during a flash asks.
enum InsideQuestion { AnswerYes, AnswerNo, CloseThenNo, CloseThenYes, DeleteWindow };

} // namespace

class HIDDfuWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void transports_data();
    void transports();
    void connectsOverUsb();
    void infoTexts_data();
    void infoTexts();
    void unreadableStatusIsSkipped();
    void flashes();
    void refusedPackages_data();
    void refusedPackages();
    void imageAtTheLimit();
    void markupShownAsText();
    void presetFile();
    void workerFailures_data();
    void workerFailures();
    void storageErase_data();
    void storageErase();
    void reboot_data();
    void reboot();
    void searchGivesUp_data();
    void searchGivesUp();
    void closeDuringFlash_data();
    void closeDuringFlash();
    void deleteDuringFlash();
    void deleteInsideCloseWait();
    void deleteDuringQuestion();

    void serialSingleAddress();
    void serialScan();
    void serialFlash();
    void serialPortThatDoesNotOpen();
    void serialDeleteDuringScan();

private:
    // A window in the embedded run mode, searching over USB.
    HIDDfu *usbWindow();
    // The same over the pseudo-terminal, for `address`.
    HIDDfu *serialWindow(int address, uint baud = 115200);
    void connectWindow(HIDDfu *window);
    // Drops a package holding `image` and answers the question with Yes.
    void startFlash(HIDDfu *window, ModalDriver &modal, const QByteArray &image);
    // A connected window whose flash waits for an erase that never ends.
    HIDDfu *flashingWindow();

    std::unique_ptr<TempSettings> m_settings;
    // Answers the boxes a test expects and rejects any other.
    std::unique_ptr<ModalDriver> m_modal;
    std::unique_ptr<QTemporaryDir> m_dir;
    SimulatedUsbBus m_bus;
    std::unique_ptr<SimulatedHidBootloader> m_bootloader;
    std::unique_ptr<ListedPty> m_pty;
    std::unique_ptr<SerialBootloaderPeer> m_peer;
    QPointer<HIDDfu> m_window;
};

void HIDDfuWindowTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_modal = std::make_unique<ModalDriver>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_bus = SimulatedUsbBus();
    m_bootloader = attachBootloader(m_bus);
    HIDDfu::setProxyFactory([this](QObject *parent) { return new BusHidProxy(m_bus, parent); });
}

void HIDDfuWindowTest::cleanup()
{
    delete m_window;
    HIDDfu::setProxyFactory({});
    m_peer.reset();
    m_pty.reset();
    m_bootloader.reset();
    m_dir.reset();
    m_modal.reset();
    m_settings.reset();
}

HIDDfu *HIDDfuWindowTest::usbWindow()
{
    m_window = new HIDDfu(nullptr, Qt::Widget);
    m_window->setTransport(QStringLiteral("usb"));
    m_window->setDeviceNames({Product});
    return m_window;
}

HIDDfu *HIDDfuWindowTest::serialWindow(int address, uint baud)
{
    m_pty = std::make_unique<ListedPty>();
    m_peer = std::make_unique<SerialBootloaderPeer>(*m_pty, SerialAddress);
    m_peer->status.hardwareId = Board;
    m_peer->status.limit = Limit;
    m_window = new HIDDfu(nullptr, Qt::Widget);
    m_window->setTransport(QStringLiteral("rs485"));
    m_window->setMedium(m_pty->path());
    m_window->setAddress(address);
    m_window->setBaudrate(baud);
    return m_window;
}

void HIDDfuWindowTest::connectWindow(HIDDfu *window)
{
    QVERIFY(window->init());
    window->resize(400, 300);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(connected(*window), Wait);
}

void HIDDfuWindowTest::startFlash(HIDDfu *window, ModalDriver &modal, const QByteArray &image)
{
    const QString path = writeFile(*m_dir, QStringLiteral("fw.dfu"), package(image));
    modal.press(QMessageBox::Yes);
    dropFile(*window, path);
    QCOMPARE(modal.unanswered(), 0);
    QVERIFY(!onDropPage(*window));
}

HIDDfu *HIDDfuWindowTest::flashingWindow()
{
    m_bootloader->erasePolls = -1;
    HIDDfu *window = usbWindow();
    connectWindow(window);
    startFlash(window, *m_modal, testImage(100));
    if (QTest::currentTestFailed())
        return nullptr;
    if (!QTest::qWaitFor([this] { return m_bootloader->statusReads() > 5; }, Wait))
        return nullptr;
    return window;
}

void HIDDfuWindowTest::transports_data()
{
    QTest::addColumn<QString>("transport");
    QTest::addColumn<QString>("medium");
    QTest::addColumn<bool>("usable");
    QTest::newRow("usb") << "usb" << "" << true;
    QTest::newRow("USB in capitals") << "USB" << "" << true;
    QTest::newRow("network") << "network" << "" << false;
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("rs485 without a port") << "rs485" << "" << false;
    QTest::newRow("RS485 with a port") << "RS485" << "/dev/ttyS9" << true;
}

void HIDDfuWindowTest::transports()
{
    QFETCH(QString, transport);
    QFETCH(QString, medium);
    m_window = new HIDDfu(nullptr, Qt::Widget);
    m_window->setTransport(transport);
    m_window->setMedium(medium);
    QTEST(m_window->init(), "usable");
    QCOMPARE(m_window->runMode(), int(HIDDfu::Embedded));
}

void HIDDfuWindowTest::connectsOverUsb()
{
    HIDDfu *window = usbWindow();
    QVERIFY(!connected(*window));
    QVERIFY(!child<QWidget>(*window, "controlWidget")->isEnabled());
    // Nothing found yet: nothing to show, least of all the form's placeholders.
    QCOMPARE(child<QLabel>(*window, "infoLabel")->text(), QString());
    QCOMPARE(child<QLabel>(*window, "statusBar")->text(), QString());
    QVERIFY(settledGrab(window).save(QStringLiteral("hiddfu-searching.png")));
    connectWindow(window);
    QCOMPARE(child<QLabel>(*window, "infoLabel")->text(), QStringLiteral("0483:df11:sim"));
    QCOMPARE(child<QLabel>(*window, "statusBar")->text(), QStringLiteral("Pellam DFU 1.0"));
    QVERIFY(child<QWidget>(*window, "controlWidget")->isEnabled());
    QVERIFY(onDropPage(*window));
    QVERIFY(child<QToolButton>(*window, "restartTool")->isVisible());
    QVERIFY(child<QToolButton>(*window, "launchTool")->isVisible());
    for (const char *hidden : {"sdfuTool", "eStorTool", "eepromTool"})
        QVERIFY(!child<QToolButton>(*window, hidden)->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Firmware Updater"));
    QVERIFY(!window->windowIcon().isNull());
    // The search is over: one device object, no dialog left.
    QTest::qWait(1200);
    QCOMPARE(m_bus.proxiesMade, 1);
    QVERIFY(!window->findChild<QProgressDialog *>());
    QVERIFY(settledGrab(window).save(QStringLiteral("hiddfu-connected.png")));
}

void HIDDfuWindowTest::infoTexts_data()
{
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("storageTool");
    QTest::newRow("plain") << QByteArray("Pellam DFU 1.0") << "Pellam DFU 1.0" << false;
    QTest::newRow("E stripped") << QByteArray("Pellam DFU 1.0 E") << "Pellam DFU 1.0" << false;
    QTest::newRow("S shows the storage tool") << QByteArray("Pellam DFU 1.0 S") << "Pellam DFU 1.0 S" << true;
    QTest::newRow("markup as text") << QByteArray("<b>bold</b>") << "<b>bold</b>" << false;
    QTest::newRow("ends at NUL") << QByteArray("abc\0 S", 6) << "abc" << false;
}

void HIDDfuWindowTest::infoTexts()
{
    QFETCH(QByteArray, info);
    m_bootloader->info = info;
    HIDDfu *window = usbWindow();
    connectWindow(window);
    auto *label = child<QLabel>(*window, "statusBar");
    QTEST(label->text(), "shown");
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QTEST(child<QToolButton>(*window, "eepromTool")->isVisible(), "storageTool");
}

void HIDDfuWindowTest::unreadableStatusIsSkipped()
{
    // The first device answers with a status report one byte short.
    auto second = attachBootloader(m_bus, QStringLiteral("0483:df11:two"));
    m_bootloader->statusReply = QByteArray(13, '\0');
    second->info = "Second";
    HIDDfu *window = usbWindow();
    connectWindow(window);
    QCOMPARE(child<QLabel>(*window, "infoLabel")->text(), QStringLiteral("0483:df11:two"));
    QCOMPARE(child<QLabel>(*window, "statusBar")->text(), QStringLiteral("Second"));
}

void HIDDfuWindowTest::flashes()
{
    HIDDfu *window = usbWindow();
    connectWindow(window);
    QSignalSpy finished(window, &HIDDfu::finished);
    ModalDriver &modal = *m_modal;
    const QByteArray image = testImage(300);
    startFlash(window, modal, image);
    auto *progress = child<QProgressBar>(*window, "progressBar");
    QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Flashed.")), Wait);
    QCOMPARE(m_bootloader->memory().left(image.size()), image);
    QCOMPARE(progress->value(), 100);
    QVERIFY(progress->isHidden());
    QVERIFY(log(*window).startsWith(QStringLiteral("Opened firmware file Release 2.1\nErasing...")));
    QVERIFY(log(*window).endsWith(QStringLiteral("Flashed.\nPress 'Launch' to start using new firmware")));
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).text, QStringLiteral("Update firmware to Release 2.1?"));
    QVERIFY(child<QWidget>(*window, "controlWidget")->isEnabled());
    QVERIFY(!onDropPage(*window));
    QCOMPARE(finished.size(), 0);
    QVERIFY(settledGrab(window).save(QStringLiteral("hiddfu-flashed.png")));
}

void HIDDfuWindowTest::refusedPackages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("answer");

    const QByteArray image = testImage(64);
    const QByteArray header = package(image).left(12);
    QByteArray pastEnd = package(image, "abcd");
    pastEnd[9] = char(0x01); // 256 bytes of info in a file of 80
    QTest::newRow("bad magic") << firmwarePackage(Board, QByteArray(), image, 0xF0104242)
                               << "fw.dfu is not a firmware package" << 0;
    QTest::newRow("short header") << header.left(11) << "Firmware package is invalid" << 0;
    QTest::newRow("15 bytes") << (header + "abc") << "Firmware package is invalid" << 0;
    QTest::newRow("other board") << package(image, "x", Board + 1)
                                 << "Incompatible hardware detected.\nfw.dfu firmware package is designed for a "
                                    "different board"
                                 << 0;
    QTest::newRow("info past the end") << pastEnd << "Firmware package is invalid" << 0;
    QTest::newRow("one byte over the limit")
        << package(testImage(int(Limit) + 1))
        << "Cannot flash this firmware - it is 1 bytes bigger than maximum amount of space available." << 0;
    QTest::newRow("No to the question") << package(image) << "Update firmware to Release 2.1?"
                                        << int(QMessageBox::No);
}

void HIDDfuWindowTest::refusedPackages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(int, answer);
    HIDDfu *window = usbWindow();
    connectWindow(window);
    const QString path = writeFile(*m_dir, QStringLiteral("fw.dfu"), bytes);
    ModalDriver &modal = *m_modal;
    modal.press(answer ? QMessageBox::StandardButton(answer) : QMessageBox::Ok);
    dropFile(*window, path);
    QCOMPARE(boxTexts(modal.seen()), QStringList{message});
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("Firmware Update"));
    // Nothing erased or written; the drop page takes the next package.
    QCOMPARE(m_bootloader->commands(), QStringList());
    QTest::qWait(100);
    QCOMPARE(m_bootloader->commands(), QStringList());
    QVERIFY(onDropPage(*window));
    QVERIFY(child<QWidget>(*window, "controlWidget")->isEnabled());
    QVERIFY(child<QWidget>(*window, "dfuDropArea")->acceptDrops());
}

void HIDDfuWindowTest::imageAtTheLimit()
{
    HIDDfu *window = usbWindow();
    connectWindow(window);
    ModalDriver &modal = *m_modal;
    const QByteArray image = testImage(int(Limit));
    startFlash(window, modal, image);
    QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Flashed.")), Wait);
    QCOMPARE(m_bootloader->memory().left(image.size()), image);
}

void HIDDfuWindowTest::markupShownAsText()
{
    HIDDfu *window = usbWindow();
    connectWindow(window);
    ModalDriver &modal = *m_modal;
    QString question;
    modal.then([&question](QWidget *box) {
        auto *message = qobject_cast<QMessageBox *>(box);
        question = message->textFormat() == Qt::RichText ? message->text() : QString();
        message->button(QMessageBox::No)->click();
    });
    dropFile(*window, writeFile(*m_dir, QStringLiteral("fw.dfu"), package(testImage(8), "<b>x</b> & y")));
    QCOMPARE(question, QStringLiteral("Update firmware to &lt;b&gt;x&lt;/b&gt; &amp; y?"));

    // An empty description is offered as "<no info>", shown as text.
    modal.then([&question](QWidget *box) {
        question = qobject_cast<QMessageBox *>(box)->text();
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    });
    dropFile(*window, writeFile(*m_dir, QStringLiteral("fw2.dfu"), package(testImage(8), "")));
    QCOMPARE(question, QStringLiteral("Update firmware to &lt;no info&gt;?"));
    QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Flashed.")), Wait);

    modal.then([](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click(); });
    dropFile(*window, writeFile(*m_dir, QStringLiteral("fw3.dfu"), package(testImage(8), "<i>v3</i>")));
    QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Flashed.")), Wait);
    QVERIFY(log(*window).startsWith(QStringLiteral("Opened firmware file <i>v3</i>\n")));
}

void HIDDfuWindowTest::presetFile()
{
    const QByteArray image = testImage(100);
    const QString path = writeFile(*m_dir, QStringLiteral("preset.dfu"), package(image));
    HIDDfu *window = usbWindow();
    window->setFile(path);
    QCOMPARE(window->file(), QFileInfo(path).canonicalFilePath());
    ModalDriver &modal = *m_modal;
    modal.press(QMessageBox::Yes);
    connectWindow(window);
    QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Flashed.")), Wait);
    QCOMPARE(m_bootloader->memory().left(image.size()), image);
    QVERIFY(window->file().isEmpty());
}

void HIDDfuWindowTest::workerFailures_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("erase error") << 0 << "Error erasing old firmware";
    QTest::newRow("stuck address") << 1 << "Communication error: set address";
    QTest::newRow("write error") << 2
                                 << "Error flasing new firmware. Internal error:\nflashing at 0. internal error crc error";
}

void HIDDfuWindowTest::workerFailures()
{
    QFETCH(int, fault);
    QFETCH(QString, message);
    if (fault == 0)
        m_bootloader->eraseError = 1;
    else if (fault == 1)
        m_bootloader->stuckAddress = true;
    else
        m_bootloader->writeErrorAt = 0;
    HIDDfu *window = usbWindow();
    connectWindow(window);
    QSignalSpy finished(window, &HIDDfu::finished);
    ModalDriver &modal = *m_modal;
    startFlash(window, modal, testImage(200));
    modal.press(QMessageBox::Ok).press(QMessageBox::Ok);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Wait);
    QTest::qWait(300);
    // One box for the one failure.
    QCOMPARE(boxTexts(modal.seen()).mid(1), QStringList{message});
    QCOMPARE(finished.size(), 1);
    QCOMPARE(window->exitCode(), 0);
    QVERIFY(child<QWidget>(*window, "controlWidget")->isEnabled());
}

void HIDDfuWindowTest::storageErase_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("idle") << 0 << "";
    QTest::newRow("other bit") << 0x04 << "";
    QTest::newRow("erasing") << 0x01 << "The device is busy";
    QTest::newRow("writing") << 0x02 << "The device is busy";
    QTest::newRow("storage busy") << 0x10 << "The device is busy";
    QTest::newRow("status unreadable") << -1 << "Communication error: during get status";
}

void HIDDfuWindowTest::storageErase()
{
    QFETCH(int, flags);
    QFETCH(QString, refusal);
    m_bootloader->info = "Pellam DFU 1.0 S";
    HIDDfu *window = usbWindow();
    connectWindow(window);
    if (flags < 0)
        m_bootloader->failFeatureReads = true;
    else
        m_bootloader->status.flags = uint8_t(flags);
    ModalDriver &modal = *m_modal;
    modal.press(QMessageBox::Yes).press(QMessageBox::Ok);
    auto *tool = child<QToolButton>(*window, "eepromTool");
    QVERIFY(tool->isVisible());
    tool->click();
    QCOMPARE(modal.seen().value(0).text, QStringLiteral("Erase EEPROM?"));
    QCOMPARE(modal.seen().value(0).title, QStringLiteral("EEPROM Tool"));
    if (refusal.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("SPI flash erased")), Wait);
        QCOMPARE(m_bootloader->commands(), QStringList{"storage erase"});
        QVERIFY(log(*window).endsWith(QStringLiteral("SPI flash erased.\nPress 'Launch' to start using new firmware")));
        QCOMPARE(modal.seen().size(), 1);
    } else {
        // A box that closes itself, and the same text in the log.
        QCOMPARE(modal.seen().size(), 2);
        QVERIFY(modal.seen().at(1).text.startsWith(refusal));
        QCOMPARE(log(*window), refusal);
        QCOMPARE(m_bootloader->commands(), QStringList());
    }
    QVERIFY(child<QWidget>(*window, "controlWidget")->isEnabled());
}

void HIDDfuWindowTest::reboot_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("restart") << "restartTool" << 4 << 2;
    QTest::newRow("launch") << "launchTool" << 5 << 1;
}

void HIDDfuWindowTest::reboot()
{
    QFETCH(QString, tool);
    QFETCH(int, command);
    HIDDfu *window = usbWindow();
    connectWindow(window);
    QSignalSpy finished(window, &HIDDfu::finished);
    QElapsedTimer clock;
    clock.start();
    child<QToolButton>(*window, tool.toLatin1().constData())->click();
    QCOMPARE(m_bootloader->writtenReports.size(), 1);
    const QByteArray report = m_bootloader->writtenReports.first();
    QCOMPARE(report.left(6), QByteArray::fromHex("01") + char(command) + QByteArray(4, '\0'));
    QTEST(window->exitCode(), "exitCode");
    QVERIFY(!child<QWidget>(*window, "controlWidget")->isEnabled());
    QVERIFY(finished.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Wait);
    QVERIFY(clock.elapsed() >= 1900);
}

void HIDDfuWindowTest::searchGivesUp_data()
{
    QTest::addColumn<int>("cancelAfter");
    QTest::addColumn<int>("attempts");
    QTest::newRow("ten attempts") << 0 << 10;
    // A cancel makes the next attempt the last.
    QTest::newRow("cancel after two") << 2 << 3;
}

void HIDDfuWindowTest::searchGivesUp()
{
    QFETCH(int, cancelAfter);
    m_bus.devices.clear();
    HIDDfu *window = usbWindow();
    QSignalSpy finished(window, &HIDDfu::finished);
    ModalDriver &modal = *m_modal;
    modal.then(boxOrSearch(QMessageBox::Ok)).then(boxOrSearch(QMessageBox::Ok));
    QVERIFY(window->init());
    window->show();
    if (cancelAfter) {
        QTRY_COMPARE_WITH_TIMEOUT(m_bus.proxiesMade, cancelAfter, Wait);
        window->findChild<QProgressDialog *>()->cancel();
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Wait);
    QTEST(m_bus.proxiesMade, "attempts");
    QCOMPARE(boxTexts(modal.seen()), QStringList{"No DFU capable USB device available"});
    QCOMPARE(window->exitCode(), 0);
    QTest::qWait(1200);
    QTEST(m_bus.proxiesMade, "attempts");
    QCOMPARE(finished.size(), 1);
}

void HIDDfuWindowTest::closeDuringFlash_data()
{
    QTest::addColumn<int>("inside");
    QTest::addColumn<bool>("stops");
    QTest::newRow("Yes stops the flash") << int(AnswerYes) << true;
    QTest::newRow("No keeps flashing") << int(AnswerNo) << false;
    QTest::newRow("closed again inside the question, then No") << int(CloseThenNo) << false;
    QTest::newRow("closed again inside the question, then Yes") << int(CloseThenYes) << true;
    QTest::newRow("deleted inside the question") << int(DeleteWindow) << true;
}

// A close while a flash runs asks first: stopping leaves the controller
// without firmware.
void HIDDfuWindowTest::closeDuringFlash()
{
    QFETCH(int, inside);
    QFETCH(bool, stops);
    HIDDfu *window = flashingWindow();
    QVERIFY(window);
    QString question;
    m_modal->then([&question, inside, window](QWidget *shown) {
        auto *box = qobject_cast<QMessageBox *>(shown);
        question = box->text();
        if (inside == CloseThenNo || inside == CloseThenYes)
            window->close();
        if (inside == DeleteWindow)
            delete window;
        else
            box->button(inside == AnswerNo || inside == CloseThenNo ? QMessageBox::No : QMessageBox::Yes)->click();
    });
    window->close();
    QCOMPARE(question, QStringLiteral("The controller is being flashed. Stop and leave it without firmware?"));
    // The update question, then this one, once.
    QCOMPARE(m_modal->seen().size(), 2);
    QCOMPARE(m_modal->unanswered(), 0);
    if (!stops) {
        QVERIFY(window->isVisible());
        const int reads = m_bootloader->statusReads();
        QTRY_VERIFY_WITH_TIMEOUT(m_bootloader->statusReads() > reads + 2, Wait);
        QVERIFY(window->isVisible());
        return;
    }
    if (m_window) {
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), Wait);
        QCOMPARE(window->exitCode(), 0);
    }
    // The worker stopped: the device is left alone.
    const int reads = m_bootloader->statusReads();
    QTest::qWait(300);
    QCOMPARE(m_bootloader->statusReads(), reads);
    QCOMPARE(m_bootloader->commands(), QStringList{"erase 100"});
}

void HIDDfuWindowTest::deleteDuringFlash()
{
    HIDDfu *window = flashingWindow();
    QVERIFY(window);
    delete window;
    QVERIFY(!m_window);
    const int reads = m_bootloader->statusReads();
    QTest::qWait(300);
    QCOMPARE(m_bootloader->statusReads(), reads);
    QCOMPARE(m_bootloader->commands(), QStringList{"erase 100"});
}

void HIDDfuWindowTest::deleteInsideCloseWait()
{
    HIDDfu *window = flashingWindow();
    QVERIFY(window);
    // Once stopping is confirmed, the close waits for the worker in an event
    // loop; the window goes away inside it, two posted events after the
    // question's own loop has ended.
    m_modal->then([window](QWidget *box) {
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
        QMetaObject::invokeMethod(
            window, [window] { QMetaObject::invokeMethod(window, [window] { delete window; }, Qt::QueuedConnection); },
            Qt::QueuedConnection);
    });
    window->close();
    QVERIFY(!m_window);
    const int reads = m_bootloader->statusReads();
    QTest::qWait(300);
    QCOMPARE(m_bootloader->statusReads(), reads);
}

void HIDDfuWindowTest::deleteDuringQuestion()
{
    HIDDfu *window = usbWindow();
    connectWindow(window);
    ModalDriver &modal = *m_modal;
    modal.then([window](QWidget *) { delete window; });
    dropFile(*window, writeFile(*m_dir, QStringLiteral("fw.dfu"), package(testImage(8))));
    QVERIFY(!m_window);
    QTest::qWait(100);
    QCOMPARE(m_bootloader->commands(), QStringList());
}

void HIDDfuWindowTest::serialSingleAddress()
{
    HIDDfu *window = serialWindow(SerialAddress);
    // Another device on the line answers too; only the address asked counts.
    connectWindow(window);
    QCOMPARE(child<QLabel>(*window, "infoLabel")->text(), QStringLiteral("0x05:Pellam DFU"));
    QCOMPARE(child<QLabel>(*window, "statusBar")->text(), QStringLiteral("Pellam DFU 1.0"));
    QVERIFY(!m_peer->received.isEmpty());
    QCOMPARE(m_peer->received.first(), UARTMessage(SerialAddress, QByteArray(1, 0x06)));
    for (const UARTMessage &frame : qAsConst(m_peer->received))
        QCOMPARE(frame.first, SerialAddress);
}

void HIDDfuWindowTest::serialScan()
{
    HIDDfu *window = serialWindow(-1, 921600);
    // Before the device's answer: a short frame; after it, a second device.
    m_peer->pingPrelude = {{0x30, QByteArray("abc")}, {0x31, QByteArray(23, 'x')}};
    m_peer->pingOthers = {{0x40, QByteArray("Other").leftJustified(24, '\0')}};
    connectWindow(window);
    QCOMPARE(child<QLabel>(*window, "infoLabel")->text(), QStringLiteral("0x05:Pellam DFU"));
    QCOMPARE(m_peer->received.first(), UARTMessage(0xFF, QByteArray(1, 0x06)));
    QVERIFY(settledGrab(window).save(QStringLiteral("hiddfu-serial.png")));
}

void HIDDfuWindowTest::serialFlash()
{
    HIDDfu *window = serialWindow(SerialAddress);
    connectWindow(window);
    ModalDriver &modal = *m_modal;
    const QByteArray image = testImage(600);
    startFlash(window, modal, image);
    QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Flashed.")), Wait);
    QCOMPARE(m_peer->memory(), image);
    // The link works from the window again.
    QVERIFY(child<QWidget>(*window, "controlWidget")->isEnabled());
    child<QToolButton>(*window, "launchTool")->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->received.last() == UARTMessage(SerialAddress, QByteArray::fromHex("0105")),
                             Wait);
    QCOMPARE(window->exitCode(), 1);
}

void HIDDfuWindowTest::serialPortThatDoesNotOpen()
{
    m_window = new HIDDfu(nullptr, Qt::Widget);
    m_window->setTransport(QStringLiteral("rs485"));
    m_window->setMedium(m_dir->filePath(QStringLiteral("no-such-port")));
    QSignalSpy finished(m_window, &HIDDfu::finished);
    ModalDriver &modal = *m_modal;
    modal.then(boxOrSearch(QMessageBox::Ok));
    QVERIFY(m_window->init());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Wait);
    QCOMPARE(boxTexts(modal.seen()), QStringList{"No DFU capable USB device available"});
}

void HIDDfuWindowTest::serialDeleteDuringScan()
{
    HIDDfu *window = serialWindow(-1);
    m_peer->description.clear(); // nobody answers: the scan waits its 11 s
    // The scan waits in an event loop under this test; the window goes away
    // inside it, after ticks that fell into the wait.
    int pingsAtDelete = -1;
    QTimer::singleShot(4000, window, [&pingsAtDelete, this, window] {
        pingsAtDelete = m_peer->received.size();
        delete window;
    });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(window->init());
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window, Wait);
    QVERIFY(clock.elapsed() < 8000);
    QCOMPARE(pingsAtDelete, 1);
}

QTEST_MAIN(HIDDfuWindowTest)
#include "hiddfu_window_test.moc"
