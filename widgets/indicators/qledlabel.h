#ifndef KOLM_QLEDLABEL_H
#define KOLM_QLEDLABEL_H

// A round indicator lamp: lit in a named colour with a tool tip, or off.
// Its rim is white on the dark theme and black on the light one.

#include <QColor>
#include <QWidget>

class QLedLabel : public QWidget {
    Q_OBJECT

public:
    explicit QLedLabel(QWidget *parent = nullptr);

    bool isOn() const;
    QColor color() const;

    void on(const QString &colorName, const QString &toolTip = QString());
    void off();

signals:
    void stateChanged(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_state = false;
    QColor m_color;
    QColor m_rim;
};

#endif
