#pragma once
// Changes of widgets that wait for the end of the current turn of the event
// loop. Under a flood of packets a field is set once per turn, to the newest
// value, instead of once per packet; a newer change of the same widget
// replaces the waiting one. Changes of a widget deleted meanwhile are
// dropped.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <functional>

class TurnUpdates : public QObject
{
    Q_OBJECT

public:
    explicit TurnUpdates(QObject *parent = nullptr);

    void set(QWidget *widget, std::function<void()> change);
    // Makes every waiting change now, oldest widget first: before the
    // user's action reads or writes a field.
    void applyNow();

private:
    struct Change {
        QPointer<QWidget> widget;
        std::function<void()> change;
    };
    QVector<Change> m_waiting;
    QTimer m_turn;
};
