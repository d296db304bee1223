#include "qcoverwidget.h"

#include <QResizeEvent>

QCoverWidget::QCoverWidget(QWidget *parent)
    : QWidget(parent, Qt::WindowStaysOnTopHint)
{
    hide();
}

QWidget *QCoverWidget::coveredWidget() const
{
    return m_covered;
}

void QCoverWidget::start(QWidget *bg)
{
    m_covered = bg;
    if (bg) {
        resize(bg->size());
        const QPoint corner = bg->mapToGlobal(QPoint(0, 0));
        move(parentWidget() ? parentWidget()->mapFromGlobal(corner) : corner);
        bg->installEventFilter(this);
    }
    show();
    raise();
}

void QCoverWidget::stop()
{
    hide();
    if (m_covered)
        m_covered->removeEventFilter(this);
    m_covered = nullptr;
}

bool QCoverWidget::eventFilter(QObject *obj, QEvent *event)
{
    if (obj == m_covered && event->type() == QEvent::Resize)
        resize(static_cast<QResizeEvent *>(event)->size());
    return QWidget::eventFilter(obj, event);
}
