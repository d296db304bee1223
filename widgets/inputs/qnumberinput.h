#ifndef KOLM_QNUMBERINPUT_H
#define KOLM_QNUMBERINPUT_H

// A line edit for a signed 64-bit integer typed in decimal or hexadecimal
// ("0x" prefix, "h" suffix or any of the letters A to F). The value is kept
// inside a range; the text turns blue while it is read as hexadecimal and
// takes the error colour while it cannot be read. Up and Down step the value.

#include <QLineEdit>
#include <QPalette>

class QNumberInput : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(qlonglong minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(qlonglong maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(qlonglong singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(qlonglong value READ value WRITE setValue)

public:
    enum Base { Dec = 0, Hex = 1 };
    Q_ENUM(Base)

    explicit QNumberInput(QWidget *parent = nullptr);

    qlonglong value() const;
    qlonglong minimum() const;
    qlonglong maximum() const;
    qlonglong singleStep() const;

    void setMinimum(qlonglong minimum);
    void setMaximum(qlonglong maximum);
    void setRange(qlonglong minimum, qlonglong maximum);
    // Stored only; the keys step by one.
    void setSingleStep(qlonglong step);
    // Brings v into the range and shows it, in hexadecimal when base is Hex
    // or the text shown is hexadecimal, else in decimal.
    void setValue(qlonglong v, Base base = Dec);

    Base currentBase() const;

signals:
    void valueChanged(qlonglong value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void internalTextChanged(const QString &text);

private:
    static Base baseOf(const QString &text);
    QString formatted(qlonglong v, Base base) const;

    qlonglong m_minimum = 0;
    qlonglong m_maximum = 100;
    qlonglong m_singleStep = 1;
    qlonglong m_value = 0;
    QPalette m_errorPalette;
    QPalette m_hexPalette;
    // Set while setValue announces its own text: the value it stored stands.
    bool m_settingValue = false;
};

#endif
