#include "after_shown.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget* widget, std::function<void()> then) : QObject(widget), m_widget(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            m_widget->removeEventFilter(this);
            // After this paint has reached the screen.
            QTimer::singleShot(0, m_widget, std::move(m_then));
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_widget;
    std::function<void()> m_then;
};

} // namespace

void afterFirstPaint(QWidget* widget, std::function<void()> then)
{
    new FirstPaint(widget, std::move(then));
}
