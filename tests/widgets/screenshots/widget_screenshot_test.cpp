// Pictures of the widget kit, rendered with QWidget::grab and saved as PNG
// files in the build tree, each widget as a user first sees it (a dialog
// at its own size, a settings box after reading the settings). Each
// picture must be saved, read back at its size and show more than one
// colour.

#include "qdiredit.h"
#include "qfoldwidget.h"
#include "qhexlineedit.h"
#include "qledlabel.h"
#include "qmodewidget.h"
#include "qnumberinput.h"
#include "qpushswitch.h"
#include "qramtablemodel.h"
#include "qramviewconfig.h"
#include "qregistertablemodel.h"
#include "qregisterviewconfig.h"
#include "qstatuslabel.h"
#include "qtoollineedit.h"
#include "temp_settings.h"
#include "usbdevicefilterbox.h"
#include "zu16addressedit.h"
#include "zuasmgetkey.h"

#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

namespace {

bool hasSeveralColours(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

} // namespace

class WidgetScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
    }

    void screenshot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("inputs") << "inputs";
        QTest::newRow("indicators") << "indicators";
        QTest::newRow("ram view") << "ram_view";
        QTest::newRow("register view") << "register_view";
        QTest::newRow("device filter") << "device_filter";
        QTest::newRow("key dialog") << "key_dialog";
    }

    void screenshot()
    {
        QFETCH(QString, name);
        QWidget page;
        QWidget *shown = build(name, page);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QPixmap picture = shown->grab();
        const QString path = QDir(QStringLiteral(KOLM_SCREENSHOT_DIR)).filePath(name + QStringLiteral(".png"));
        QVERIFY(picture.save(path));
        const QImage saved(path);
        QCOMPARE(saved.size(), picture.size());
        QVERIFY(hasSeveralColours(saved));
    }

private:
    // Fills the page, or makes a window of its own owned by the page, and
    // returns the widget to show and grab.
    QWidget *build(const QString &name, QWidget &page)
    {
        if (name == QLatin1String("inputs"))
            buildInputs(page);
        else if (name == QLatin1String("indicators"))
            buildIndicators(page);
        else if (name == QLatin1String("ram_view"))
            buildRamView(page);
        else if (name == QLatin1String("register_view"))
            buildRegisterView(page);
        else if (name == QLatin1String("device_filter"))
            buildDeviceFilter(page);
        else
            return buildKeyDialog(page);
        return &page;
    }

    void buildInputs(QWidget &page)
    {
        auto *form = new QFormLayout(&page);
        auto *decimal = new QNumberInput(&page);
        decimal->setText(QStringLiteral("42"));
        auto *hex = new QNumberInput(&page);
        hex->setRange(0, 4096);
        hex->setValue(255, QNumberInput::Hex);
        auto *address = new Zu16AddressEdit(&page);
        address->setAddress(0x1234);
        auto *dir = new QDirEdit(&page);
        dir->setText(QDir::tempPath());
        auto *badDir = new QDirEdit(&page);
        badDir->setText(QStringLiteral("/no/such/directory"));
        auto *tool = new QToolLineEdit(&page, QToolLineEdit::Open);
        tool->setText(QStringLiteral("script.kos"));
        auto *bytes = new QHexLineEdit(&page);
        bytes->setDefaultValue(0xA5);
        form->addRow(QStringLiteral("Decimal:"), decimal);
        form->addRow(QStringLiteral("Hexadecimal:"), hex);
        form->addRow(QStringLiteral("Address:"), address);
        form->addRow(QStringLiteral("Directory:"), dir);
        form->addRow(QStringLiteral("Missing directory:"), badDir);
        form->addRow(QStringLiteral("File:"), tool);
        form->addRow(QStringLiteral("Bytes:"), bytes);
        page.resize(420, 300);
    }

    void buildIndicators(QWidget &page)
    {
        auto *layout = new QVBoxLayout(&page);
        auto *fold = new QFoldWidget(&page);
        fold->setCheckable(true);
        fold->setTitle(QStringLiteral("Advanced"));
        fold->addCentralWidget(new QLabel(QStringLiteral("Folded content"), fold));
        layout->addWidget(fold);
        auto *mode = new QModeWidget(&page);
        mode->setItems({QStringLiteral("Off"), QStringLiteral("Auto"), QStringLiteral("On")});
        mode->setColors(QColor(QStringLiteral("#37474F")), Qt::white);
        mode->setSlider(0);
        mode->disable(2);
        layout->addWidget(mode);
        auto *sw = new QPushSwitch(&page);
        sw->setChecked(true);
        layout->addWidget(sw);
        auto *row = new QHBoxLayout;
        auto *status = new QStatusLabel(&page);
        status->status(QStringLiteral("phonelink"), QMaterialIcon::Success, QStringLiteral("Connected"));
        auto *warning = new QStatusLabel(&page);
        warning->status(QStringLiteral("phonelink_off"), QMaterialIcon::Warning, QStringLiteral("Not connected"));
        auto *led = new QLedLabel(&page);
        led->setFixedSize(22, 22);
        led->on(QStringLiteral("#4CAF50"), QStringLiteral("Running"));
        row->addWidget(status);
        row->addWidget(warning);
        row->addWidget(led);
        row->addStretch();
        layout->addLayout(row);
        page.resize(360, 240);
    }

    void buildRamView(QWidget &page)
    {
        auto *layout = new QVBoxLayout(&page);
        auto *config = new QRamViewConfig(&page);
        auto *model = new QRamTableModel(&page);
        model->connectController(config);
        QByteArray image;
        for (int i = 0; i < 72; ++i)
            image.append(char(i * 7));
        model->init(image);
        model->setFormat(QRamTableModel::Hex);
        auto *view = new QTableView(&page);
        view->setModel(model);
        view->horizontalHeader()->setDefaultSectionSize(28);
        layout->addWidget(config);
        layout->addWidget(view);
        page.resize(560, 260);
    }

    // The preferences dialog reads the settings before it shows the box:
    // on empty settings, the defaults.
    void buildDeviceFilter(QWidget &page)
    {
        auto *box = new USBDeviceFilterBox(&page);
        TempSettings empty;
        QSettings settings;
        box->readSettings(settings, QString(), QStringLiteral("USB"));
        (new QVBoxLayout(&page))->addWidget(box);
    }

    // A window of its own at the size it opens with.
    QWidget *buildKeyDialog(QWidget &page)
    {
        auto *dialog = new ZuASMGetKey(&page);
        const unsigned char key[8] = {0x00, 0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xFF};
        dialog->setKey(key);
        return dialog;
    }

    void buildRegisterView(QWidget &page)
    {
        auto *layout = new QVBoxLayout(&page);
        auto *config = new QRegisterViewConfig(&page);
        auto *model = new QRegisterTableModel(&page);
        model->connectController(config);
        model->init(QStringList{"%EAX", "%EBX", "%ECX", "%EDX", "%EIP", "%EBP", "%ESP"},
                    {0, 1, 255, 0xFFFFFFFFu, 36, 0x300, 0x2FC});
        model->setFormat(QRegisterTableModel::Hex);
        auto *view = new QTableView(&page);
        view->setModel(model);
        layout->addWidget(config);
        layout->addWidget(view);
        page.resize(300, 300);
    }
};

QTEST_MAIN(WidgetScreenshotTest)
#include "widget_screenshot_test.moc"
