// A user's road with a radio controller that runs no scripts, against the
// simulated controller: connect, change the radio channel on the Device
// page, upload the configuration with the built project, reset the device
// to its factory configuration. Keeps the picture artefacts/device_page.png
// of the Device page for a person to look at.

#include "zurovurazev.h"

#include "fake_messenger.h"
#include "form_child.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "sim_controller.h"
#include "sim_exchange.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "v1_cc1101_v1.h"
#include "zuplcconfigv1widget.h"

#include <QDir>
#include <QLabel>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QtEndian>

#include <memory>

class ZuROVUrazevJourneyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void radioControllerJourney();

private:
    void settle() { settleExchange(m_fake); }
    QStringList requests() const { return requestTexts(m_fake); }
    QString logText();

    ZuROVUrazev *m_window = nullptr;
    QPointer<FakeMessenger> m_fake;
};

void ZuROVUrazevJourneyTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

QString ZuROVUrazevJourneyTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

void ZuROVUrazevJourneyTest::radioControllerJourney()
{
    TempSettings settings;
    settings.set(QStringLiteral("Updates/Auto"), false);
    settings.set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    ProjectFolder folder;
    folder.write("main.kos", "var main() { return 7; }\n");
    delete folder.load();
    std::unique_ptr<ZuROVUrazev> window(new ZuROVUrazev);
    m_window = window.get();
    ZuROVUrazev *w = m_window;
    w->readSettings();
    w->resize(900, 640);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->code_open(folder.path("demo.kcpro"));
    w->ui->actionBuild->trigger();
    QVERIFY(w->ui->projectPage->compiled());
    const QByteArray image = w->ui->projectPage->outputBin();
    QVERIFY(!image.isEmpty());

    // Connect: the simulated radio controller at 0x0042.
    m_fake = new FakeMessenger(QStringLiteral("usb"), w);
    m_fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    m_fake->open(QStringLiteral("sim"));
    m_fake->connectNow();
    SimController sim(m_fake);
    SimDevice &device = sim.attached();
    device.uuid = QByteArray::fromHex("4142010263");
    ModalDriver modal;
    w->attachTransport(m_fake, 0xFFFF, 0xFFFF);
    // As the connection does after its wait.
    w->device.info = QStringLiteral("Connected to <b>sim</b><br><br>");
    w->usb_post_connected();
    settle();
    QCOMPARE(w->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(w->device.config, SimDevice::factoryV1());
    QCOMPARE(w->device.kind, ZuROVUrazev::D_PLC);
    QVERIFY(logText().contains(QStringLiteral("Connected to 0042h")));
    if (!w->configWidget) {
        // Taking the block over puts its editor on the Device page.
        auto *editor = new ZUPLCConfigV1Widget;
        CFG_V1::ZUC_RFPLCCONFIG block;
        QVERIFY(block.parse(w->device.config));
        editor->parseConfig(block);
        w->pushConfigWidget(editor);
        w->device.state = ZuROVUrazev::DS_Config;
    }
    auto *editor = qobject_cast<ZUPLCConfigV1Widget *>(w->configWidget);
    QVERIFY(editor);

    // The Device page.
    w->pagesel_clicked(ZuROVUrazev::T_Config);
    QVERIFY(w->ui->deviceInfoBrowser->toPlainText().contains(QStringLiteral("Device UUID: AB010263")));
    QVERIFY(w->ui->deviceInfoBrowser->toPlainText().contains(QStringLiteral("868MHz radio module")));

    // Change the channel in the editor.
    formChild<QSpinBox>(*editor, QStringLiteral("cfg_radio_ChannelSpin"))->setValue(9);
    QTest::qWait(50);
    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    QVERIFY(w->grab().save(QStringLiteral(KOLM_SCREENSHOT_DIR "/device_page.png")));
    CFG_V1::ZUC_RFPLCCONFIG expected;
    QVERIFY(expected.parse(SimDevice::factoryV1()));
    expected.RFlags = (expected.RFlags & ~(0xFFu << 7)) | (9u << 7);
    expected.ASMBin = quint32(image.size());

    // Upload, as the Upload action leaves things: the image taken from the
    // build, the configuration version asked for (no script bit).
    m_fake->clearSent();
    w->device.image = image;
    w->device.imageSize = quint32(image.size());
    w->ui->actionUpload->setEnabled(false);
    w->startProgressBar(QStringLiteral("Writing Configuration"));
    w->postUpload = ZuROVUrazev::PU_NOP;
    w->state = ZuROVUrazev::CS_WRITE_PREP;
    m_fake->setPollTime(50);
    QVERIFY(w->sendCfgPacket(1, 5, QByteArray(), false));
    settle();
    QCOMPARE(requests(), (QStringList{"1/5", "6/3", "4/0"}));
    QCOMPARE(m_fake->sent().at(2).data(), FakeMessenger::mcPayload(4, 0, expected.serialize()));
    QCOMPARE(device.config, expected.serialize());
    QCOMPARE(w->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Configuration successfully flashed"));
    QVERIFY(w->ui->actionUpload->isEnabled());
    QVERIFY(w->ui->progressBar->isHidden());
    QCOMPARE(m_fake->pollTime(), 500);
    // The image of a device without scripts is neither padded nor written.
    QCOMPARE(w->device.image, image);
    QVERIFY(logText().contains(QStringLiteral("The device uses the configuration version 1")));

    // Factory reset: 6/0, and the reboot when the device has reset.
    m_fake->clearSent();
    w->state = ZuROVUrazev::CS_ERASE_REBOOT;
    QVERIFY(w->sendCfgPacket(6, 0, QByteArray(), false));
    settle();
    QCOMPARE(requests(), (QStringList{"6/0", "6/2"}));
    QCOMPARE(device.controls.value(0), 1);
    QCOMPARE(device.controls.value(2), 1);
    QCOMPARE(device.config, SimDevice::factoryV1());
    QCOMPARE(w->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(!w->msgTimer.isActive());
    QCOMPARE(modal.seen().size(), 0);
}

QTEST_MAIN(ZuROVUrazevJourneyTest)
#include "zurovurazev_journey_test.moc"
