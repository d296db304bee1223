#ifndef KOLM_ZU16ADDRESSEDIT_H
#define KOLM_ZU16ADDRESSEDIT_H

// A 16-bit device address: a spin box and a "Hex" check box that switches
// the spin box between decimal and hexadecimal display (suffix "h"). The
// broadcast address 0xFFFF and 0xFFFE cannot be entered.

#include <QWidget>

#include <cstdint>

class QCheckBox;
class QHBoxLayout;
class QSpinBox;

class Zu16AddressEdit : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaximumAddress = 0xFFFD;

    explicit Zu16AddressEdit(QWidget *parent = nullptr);

    uint16_t address() const;

public slots:
    void setAddress(uint16_t address);

private slots:
    void on_hexCheck_toggled(bool on);

private:
    QHBoxLayout *horizontalLayout;
    QSpinBox *addressSpin;
    QCheckBox *hexCheck;
};

#endif
