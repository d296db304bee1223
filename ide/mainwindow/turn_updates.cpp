#include "turn_updates.h"

TurnUpdates::TurnUpdates(QObject *parent)
    : QObject(parent)
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &TurnUpdates::applyNow);
}

void TurnUpdates::set(QWidget *widget, std::function<void()> change)
{
    for (Change &waiting : m_waiting) {
        if (waiting.widget == widget) {
            waiting.change = std::move(change);
            return;
        }
    }
    m_waiting.append({widget, std::move(change)});
    if (!m_turn.isActive())
        m_turn.start();
}

void TurnUpdates::applyNow()
{
    m_turn.stop();
    const QVector<Change> waiting = std::move(m_waiting);
    m_waiting.clear();
    for (const Change &c : waiting)
        if (c.widget)
            c.change();
}
