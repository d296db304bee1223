#ifndef KOLM_QPUSHSWITCH_H
#define KOLM_QPUSHSWITCH_H

// A push switch of two (left, right) or three (left, middle, right)
// exclusive buttons. States: 0 left, 1 right, 2 middle.

#include <QWidget>

class QButtonGroup;
class QHBoxLayout;
class QPushButton;

class QPushSwitch : public QWidget {
    Q_OBJECT

public:
    enum Mode { TwoPositions = 0, ThreePositions = 1 };

    explicit QPushSwitch(QWidget *parent = nullptr);

    // Two labels give the two-position switch, three the three-position
    // one; other counts change nothing.
    void setLabels(const QStringList &labels);
    int mode() const;
    int state() const;
    // The right button is checked.
    bool isChecked() const;
    // Labels "Off" and "On".
    void defaultSetup();

public slots:
    void setState(int state);
    void setChecked(bool on);

signals:
    void stateChanged(int state);
    void stateToggled(int state);
    void toggled(bool state);

private slots:
    void intStateChange();

private:
    QPushButton *addButton(const char *name, const QString &styleSheet, int id);
    int labelWidth(const QString &label) const;

    QHBoxLayout *horizontalLayout;
    QPushButton *leftButton;
    QPushButton *midButton;
    QPushButton *rightButton;
    QButtonGroup *m_group;
    int m_mode = TwoPositions;
};

#endif
