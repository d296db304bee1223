// The configuration editors, never shown: what they display for a block and
// what they write back into one. Also keeps a picture of each editor.

#include "qmaterialfont.h"
#include "zuplcconfigv1widget.h"
#include "zuplcconfigv2widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

CFG_V1::ZUC_RFPLCCONFIG *factoryV1(QObject *parent, int transport)
{
    auto *block = new CFG_V1::ZUC_RFPLCCONFIG(parent);
    block->init();
    block->Header = quint16((block->Header & ~0x7000) | (transport << 12));
    return block;
}

template <typename T> T *child(QWidget *editor, const char *name)
{
    T *found = editor->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

class ConfigEditorTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void speedShowsItsName();
    void unnamedPowerFallsBackOnCc1101();
    void transportPicksThePowerWidget_data();
    void transportPicksThePowerWidget();
    void rawPowerSpinStopsAtFifteen();
    void valuesSurviveARoundTrip_data();
    void valuesSurviveARoundTrip();
    void uneditedFieldsKeepTheirValues();
    void versionTwoChangesOnlyTheAddress();
    void infoButtonEmitsInfo();
    void pictures();
};

// The editors set their icon on construction; with the font loaded the
// pictures show it.
void ConfigEditorTest::initTestCase()
{
    QMaterialIcon::instance()->init();
}

void ConfigEditorTest::speedShowsItsName()
{
    ZUPLCConfigV1Widget editor;
    CFG_V1::ZUC_RFPLCCONFIG *block = factoryV1(this, 1);
    block->RFlags = (block->RFlags & ~7u) | 7u;
    editor.parseConfig(*block);
    QCOMPARE(child<QComboBox>(&editor, "cfg_radio_SpeedCombo")->currentText(), QString("500"));
    delete block;
}

void ConfigEditorTest::unnamedPowerFallsBackOnCc1101()
{
    ZUPLCConfigV1Widget editor;
    CFG_V1::ZUC_RFPLCCONFIG *block = factoryV1(this, 1);
    block->RFlags = (block->RFlags & ~(15u << 3)) | (12u << 3);
    editor.parseConfig(*block);
    QCOMPARE(child<QComboBox>(&editor, "cfg_radio_PowerCombo")->currentText(), QString("0dBm"));
    editor.getConfig(*block);
    QCOMPARE(CFG_V1::rflagsPower(block->RFlags), 4);
    delete block;
}

void ConfigEditorTest::transportPicksThePowerWidget_data()
{
    QTest::addColumn<int>("transport");
    QTest::addColumn<bool>("raw");
    QTest::newRow("NONE") << 0 << false;
    QTest::newRow("CC1101") << 1 << false;
    QTest::newRow("SI4463") << 2 << true;
    QTest::newRow("LAN") << 5 << false;
}

// The spin box and the combo hold different values, so the stored power
// tells which one getConfig read.
void ConfigEditorTest::transportPicksThePowerWidget()
{
    QFETCH(int, transport);
    QFETCH(bool, raw);
    ZUPLCConfigV1Widget editor;
    CFG_V1::ZUC_RFPLCCONFIG *block = factoryV1(this, transport);
    editor.parseConfig(*block);
    auto *combo = child<QComboBox>(&editor, "cfg_radio_PowerCombo");
    auto *spin = child<QSpinBox>(&editor, "cfg_radio_PowerSpin");
    QCOMPARE(spin->isHidden(), !raw);
    QCOMPARE(combo->isHidden(), raw);
    QVERIFY(!spin->isVisible() && !combo->isVisible());
    combo->setCurrentIndex(7);
    spin->setValue(11);
    editor.getConfig(*block);
    QCOMPARE(CFG_V1::rflagsPower(block->RFlags), raw ? 11 : 7);
    delete block;
}

void ConfigEditorTest::rawPowerSpinStopsAtFifteen()
{
    ZUPLCConfigV1Widget editor;
    auto *spin = child<QSpinBox>(&editor, "cfg_radio_PowerSpin");
    spin->setValue(20);
    QCOMPARE(spin->value(), 15);
}

void ConfigEditorTest::valuesSurviveARoundTrip_data()
{
    QTest::addColumn<int>("transport");
    QTest::addColumn<quint32>("rflags");
    QTest::addColumn<quint32>("rfreq");
    QTest::addColumn<int>("address");
    for (quint32 power = 0; power < 16; ++power)
        QTest::addRow("SI4463 power %u", power)
            << 2 << ((power << 3) | 0x18002) << quint32(0x216276) << 0x1234;
    for (quint32 power = 0; power < 10; ++power)
        QTest::addRow("CC1101 power %u", power)
            << 1 << ((power << 3) | 0x6) << quint32(0) << 0;
    QTest::newRow("channel 255") << 1 << ((255u << 7) | 0x10025) << quint32(0xFFFFFF) << 0xFFFD;
    QTest::newRow("factory") << 1 << quint32(0x18025) << quint32(0x216276) << 1;
    QTest::newRow("flags off") << 1 << quint32(0x0007) << quint32(1) << 0x00FF;
}

void ConfigEditorTest::valuesSurviveARoundTrip()
{
    QFETCH(int, transport);
    QFETCH(quint32, rflags);
    QFETCH(quint32, rfreq);
    QFETCH(int, address);
    ZUPLCConfigV1Widget editor;
    CFG_V1::ZUC_RFPLCCONFIG *block = factoryV1(this, transport);
    block->RFlags = rflags;
    block->RFreq = rfreq;
    block->Address = quint16(address);
    const QByteArray before = block->serialize();
    editor.parseConfig(*block);
    block->init();
    block->Header = quint16((block->Header & ~0x7000) | (transport << 12));
    editor.getConfig(*block);
    QCOMPARE(block->serialize().toHex(), before.toHex());
    delete block;
}

void ConfigEditorTest::uneditedFieldsKeepTheirValues()
{
    ZUPLCConfigV1Widget editor;
    CFG_V1::ZUC_RFPLCCONFIG *shown = factoryV1(this, 1);
    editor.parseConfig(*shown);
    CFG_V1::ZUC_RFPLCCONFIG target;
    target.Header = 0x94B1;
    target.ASMBin = 0xDEADBEEF;
    target.RFlags = 0xFFFE0000;
    editor.getConfig(target);
    QCOMPARE(target.Header, quint16(0x94B1));
    QCOMPARE(target.ASMBin, quint32(0xDEADBEEF));
    QCOMPARE(target.RFlags, quint32(0xFFFE0000 | 0x18025));
    QCOMPARE(target.RFreq, quint32(0x216276));
    delete shown;
}

void ConfigEditorTest::versionTwoChangesOnlyTheAddress()
{
    ZUPLCConfigV2Widget editor;
    CFG_V2::ZUC_RFPLCCONFIG shown;
    shown.init();
    shown.Address = 0x0BCD;
    editor.parseConfig(shown);
    CFG_V2::ZUC_RFPLCCONFIG target;
    target.Header = 0xFFFF;
    target.Address = 7;
    target.ASMBin = 0x12345678;
    editor.getConfig(target);
    QCOMPARE(target.Header, quint16(0xFFFF));
    QCOMPARE(target.Address, quint16(0x0BCD));
    QCOMPARE(target.ASMBin, quint32(0x12345678));
}

void ConfigEditorTest::infoButtonEmitsInfo()
{
    ZUPLCConfigV1Widget v1;
    QSignalSpy spy1(&v1, &ZUPLCConfigV1Widget::info);
    child<QToolButton>(&v1, "infoTool")->click();
    QCOMPARE(spy1.count(), 1);
    ZUPLCConfigV2Widget v2;
    QSignalSpy spy2(&v2, &ZUPLCConfigV2Widget::info);
    child<QToolButton>(&v2, "infoTool")->click();
    QCOMPARE(spy2.count(), 1);
}

void ConfigEditorTest::pictures()
{
    QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
    const QDir dir(QStringLiteral(KOLM_SCREENSHOT_DIR));
    ZUPLCConfigV1Widget v1;
    CFG_V1::ZUC_RFPLCCONFIG *block = factoryV1(this, 1);
    block->Address = 0x002A;
    v1.parseConfig(*block);
    delete block;
    const QPixmap v1Picture = v1.grab();
    QVERIFY(v1Picture.save(dir.filePath(QStringLiteral("config_editor_v1.png"))));
    ZUPLCConfigV2Widget v2;
    CFG_V2::ZUC_RFPLCCONFIG v2Block;
    v2Block.init();
    v2Block.Address = 0x002A;
    v2.parseConfig(v2Block);
    const QPixmap v2Picture = v2.grab();
    QVERIFY(v2Picture.save(dir.filePath(QStringLiteral("config_editor_v2.png"))));
    QVERIFY(v1Picture.height() > v2Picture.height());
}

QTEST_MAIN(ConfigEditorTest)
#include "config_editor_test.moc"
