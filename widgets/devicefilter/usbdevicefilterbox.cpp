#include "usbdevicefilterbox.h"

#include "ui_usbdevicefilterbox.h"

#include <QSettings>
#include <QSpinBox>

namespace {

const char baudKey[] = "Serial/Baud";
const char flowKey[] = "Serial/FlowCtrl";
const char blackListKey[] = "Serial/BlackList";
const unsigned speeds[] = {9600, 19200, 38400, 57600, 115200, 230400, 460800};

// A spin box sizes itself for the texts of its minimum and maximum, "0x0"
// and "0xffff"; "f" is among the narrowest hexadecimal digits, so a value
// such as 0xa26a would be clipped. Widen the box by what the widest
// four-digit value needs beyond the maximum's text.
void fitFourHexDigits(QSpinBox *spin)
{
    const QFontMetrics metrics = spin->fontMetrics();
    QChar widest = QLatin1Char('0');
    for (QChar digit : QStringLiteral("0123456789abcdef"))
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest))
            widest = digit;
    const int extra = metrics.horizontalAdvance(QString(4, widest))
                      - metrics.horizontalAdvance(QString::number(spin->maximum(), 16));
    if (extra > 0)
        spin->setMinimumWidth(spin->sizeHint().width() + extra);
}

} // namespace

USBDeviceFilterBox::USBDeviceFilterBox(QWidget *parent)
    : QGroupBox(parent)
    , ui(new Ui::USBDeviceFilterBox)
{
    ui->setupUi(this);
    setTitle(tr("Device Filter"));
    fitFourHexDigits(ui->vidSpin);
    fitFourHexDigits(ui->pidSpin);
    for (unsigned speed : speeds)
        ui->uartSpeedCombo->addItem(QString::number(speed), int(speed));
}

USBDeviceFilterBox::~USBDeviceFilterBox()
{
    delete ui;
}

QString USBDeviceFilterBox::vid_entry(const QString &group)
{
    return group + QStringLiteral("/VID");
}

QString USBDeviceFilterBox::pid_entry(const QString &group)
{
    return group + QStringLiteral("/PID");
}

QString USBDeviceFilterBox::vendor_entry(const QString &group)
{
    return group + QStringLiteral("/Vendor");
}

QString USBDeviceFilterBox::product_entry(const QString &group)
{
    return group + QStringLiteral("/Product");
}

void USBDeviceFilterBox::readSettings(QSettings &settings, const QString &defaultProduct, const QString &group)
{
    ui->vidSpin->setValue(int(settings.value(vid_entry(group), DefaultVendorId).toUInt()));
    ui->pidSpin->setValue(int(settings.value(pid_entry(group), DefaultProductId).toUInt()));
    const QString vendor = settings.value(vendor_entry(group), QStringLiteral("Halvane Devices")).toString();
    ui->vendorEdit->setText(vendor);
    ui->vendorCheck->setChecked(!vendor.isEmpty());
    const QString product = settings.value(product_entry(group), defaultProduct).toString();
    ui->productEdit->setText(product);
    ui->productCheck->setChecked(!product.isEmpty());
    ui->uartSpeedCombo->setCurrentText(QString::number(settings.value(QLatin1String(baudKey), DefaultBaud).toUInt()));
    ui->uartFlowCombo->setCurrentIndex(settings.value(QLatin1String(flowKey), 0).toInt());
    ui->uartBlackList->setText(settings.value(QLatin1String(blackListKey)).toString());
}

void USBDeviceFilterBox::writeSettings(QSettings &settings, const QString &group)
{
    settings.setValue(vid_entry(group), ui->vidSpin->value());
    settings.setValue(pid_entry(group), ui->pidSpin->value());
    settings.setValue(vendor_entry(group), ui->vendorCheck->isChecked() ? ui->vendorEdit->text() : QString());
    settings.setValue(product_entry(group), ui->productCheck->isChecked() ? ui->productEdit->text() : QString());
    settings.setValue(QLatin1String(baudKey), ui->uartSpeedCombo->currentData().toUInt());
    settings.setValue(QLatin1String(blackListKey), ui->uartBlackList->text());
    settings.setValue(QLatin1String(flowKey), ui->uartFlowCombo->currentIndex());
}
