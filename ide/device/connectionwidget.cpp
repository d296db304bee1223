#include "connectionwidget.h"

#include "qmaterialfont.h"
#include "ui_connectionwidget.h"

#include <QListWidgetItem>

#include <iterator>

ConnectionWidget::ConnectionWidget(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ConnectionWidget)
{
    // setupUi also connects on_deviceList_currentItemChanged by its name.
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->deviceList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    ui->buttonBox->setEnabled(false);
}

ConnectionWidget::~ConnectionWidget()
{
    delete ui;
}

void ConnectionWidget::appendDevices(int type, const QList<ZuHalDevice> &devices)
{
    const QIcon icon = QMaterialIcon::icon(QString(deviceTypeIcon(type)));
    const QString typeText = deviceTypeString(type);
    for (const ZuHalDevice &device : devices) {
        const QString text = device.serial + QLatin1Char('\n') + device.product + QLatin1Char(':')
                             + device.manufacturer + QLatin1Char('\n') + device.address
                             + QStringLiteral(" (") + typeText + QLatin1Char(')');
        auto *item = new QListWidgetItem(icon, text, ui->deviceList);
        item->setData(DeviceRole, device.address);
        item->setData(TypeRole, type);
    }
}

namespace {

// What the dialog shows for each transport type number.
struct TypeLook
{
    const char *text;
    const char *glyph;
};

const TypeLook typeLooks[] = {
    {QT_TRANSLATE_NOOP("ConnectionWidget", "HID"), "usb"},
    {QT_TRANSLATE_NOOP("ConnectionWidget", "Serial port"), "device_hub"},
    {QT_TRANSLATE_NOOP("ConnectionWidget", "Remote over TCP"), "cast"},
    {QT_TRANSLATE_NOOP("ConnectionWidget", "Remote over UDP"), "close_fullscreen"},
};
const TypeLook otherLook = {QT_TRANSLATE_NOOP("ConnectionWidget", "Other"), "device_unknown"};

const TypeLook &lookOf(int type)
{
    return type >= 0 && type < int(std::size(typeLooks)) ? typeLooks[type] : otherLook;
}

} // namespace

QString ConnectionWidget::deviceTypeString(int type)
{
    return tr(lookOf(type).text);
}

QLatin1String ConnectionWidget::deviceTypeIcon(int type)
{
    return QLatin1String(lookOf(type).glyph);
}

bool ConnectionWidget::selectDevice(int type, const QString &address)
{
    for (int row = 0; row < ui->deviceList->count(); ++row) {
        QListWidgetItem *item = ui->deviceList->item(row);
        if (item->data(TypeRole).toInt() == type && item->data(DeviceRole).toString() == address) {
            ui->deviceList->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void ConnectionWidget::showEvent(QShowEvent *event)
{
    // A list that takes the focus makes its first entry current, which
    // may be a port with nothing behind it: the focus starts elsewhere
    // until the user picks.
    if (!ui->deviceList->currentItem())
        ui->vmHaltCheck->setFocus();
    QDialog::showEvent(event);
}

int ConnectionWidget::selectedType() const
{
    const QListWidgetItem *item = ui->deviceList->currentItem();
    return item ? item->data(TypeRole).toInt() : -1;
}

QString ConnectionWidget::selectedDevice() const
{
    const QListWidgetItem *item = ui->deviceList->currentItem();
    return item ? item->data(DeviceRole).toString() : QString();
}

bool ConnectionWidget::resetChecked() const
{
    return ui->vmHaltCheck->isChecked();
}

void ConnectionWidget::on_deviceList_currentItemChanged(QListWidgetItem *current, QListWidgetItem *)
{
    ui->buttonBox->setEnabled(current != nullptr);
}
