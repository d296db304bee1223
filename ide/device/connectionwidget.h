#pragma once
// The modal "Device Selection" dialog: lists the devices that the transports
// enumerate, each tagged with the transport type number the caller passes,
// and hands back the chosen entry and the "Connect under reset" choice. It
// knows nothing of transports beyond the records it is given.

#include "zuhal_device.h"

#include <QDialog>
#include <QLatin1String>
#include <QList>
#include <QString>

class QListWidgetItem;

namespace Ui {
class ConnectionWidget;
}

class ConnectionWidget : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString device READ selectedDevice)
    Q_PROPERTY(bool nrst READ resetChecked)

public:
    // Item data of each list entry: the device's address (what the
    // transport's open() takes) and the transport type number.
    enum Roles { DeviceRole = Qt::UserRole + 1, TypeRole = Qt::UserRole + 2 };

    explicit ConnectionWidget(QWidget *parent = nullptr);
    ~ConnectionWidget() override;

    // Appends one entry per record, after those of earlier calls.
    void appendDevices(int type, const QList<ZuHalDevice> &devices);

    // "HID", "Serial port", "Remote over TCP", "Remote over UDP" for the
    // types 0 to 3, "Other" for any other number.
    static QString deviceTypeString(int type);
    // The Material Icons glyph of the type.
    static QLatin1String deviceTypeIcon(int type);

    // Makes the entry of that type and address current (the one used last
    // time); false when there is none. Without a current entry when the
    // dialog shows, none is chosen for the user: the list does not take the
    // first entry by itself.
    bool selectDevice(int type, const QString &address);

    // The type number of the current entry; -1 without one.
    int selectedType() const;
    // The address of the current entry; empty without one.
    QString selectedDevice() const;
    bool resetChecked() const;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    // The buttons are usable only while some entry is current.
    void on_deviceList_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);

private:
    Ui::ConnectionWidget *ui;
};
