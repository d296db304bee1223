#include "qtoollineedit.h"

#include "qmaterialfont.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QToolButton>

QToolLineEdit::QToolLineEdit(QWidget *parent, Actions action)
    : QLineEdit(parent)
    , m_button(new QToolButton(this))
    , m_filter(tr("All Files (*.*)"))
{
    m_button->setStyleSheet(
        QStringLiteral("QToolButton { border: none; background:transparent; padding: 2px; margin: 0px; }"));
    m_button->setIconSize(QSize(22, 22));
    m_button->setCursor(Qt::PointingHandCursor);
    m_button->hide();
    setTextMargins(0, 0, ButtonSize, 0);
    setMinimumSize(minimumSizeHint().width(), ButtonSize);
    updateSize();
    setAction(action);
}

void QToolLineEdit::setAction(Actions action)
{
    m_button->disconnect();
    m_action = action;
    // Without a button the text may use the whole width.
    if (action == NoAction) {
        m_button->hide();
        setTextMargins(0, 0, 0, 0);
        return;
    }
    setTextMargins(0, 0, ButtonSize, 0);

    struct Choice {
        const char *icon;
        QString toolTip;
        void (QToolLineEdit::*slot)();
    };
    Choice choice;
    switch (action) {
    case Clear:
        choice = {"backspace", tr("Clear"), &QLineEdit::clear};
        break;
    case Paste:
        choice = {"content_paste", tr("Paste"), &QLineEdit::paste};
        break;
    case Open:
        choice = {"folder_open", tr("Open"), &QToolLineEdit::open};
        break;
    default:
        return;
    }
    setupToolButton(choice.toolTip, QMaterialIcon::icon(QLatin1String(choice.icon)));
    connect(m_button, &QToolButton::clicked, this, choice.slot);
}

void QToolLineEdit::setupToolButton(const QString &toolTip, const QIcon &icon)
{
    if (!icon.isNull())
        setToolButtonIcon(icon);
    setToolButtonToolTip(toolTip);
}

void QToolLineEdit::setToolButtonToolTip(const QString &toolTip)
{
    m_button->setToolTip(toolTip);
}

void QToolLineEdit::setToolButtonIcon(const QIcon &icon)
{
    m_button->setIcon(icon);
}

void QToolLineEdit::open()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Select File"), text(), m_filter);
    if (!file.isEmpty())
        setText(file);
}

void QToolLineEdit::updateSize()
{
    m_button->setFixedSize(ButtonSize, ButtonSize);
    m_button->move(width() - ButtonSize, (height() - ButtonSize) / 2);
}

void QToolLineEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    updateSize();
}

void QToolLineEdit::enterEvent(QEvent *event)
{
    if (m_action != NoAction)
        m_button->show();
    QLineEdit::enterEvent(event);
}

void QToolLineEdit::leaveEvent(QEvent *event)
{
    m_button->hide();
    QLineEdit::leaveEvent(event);
}

void QToolLineEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasText()) {
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void QToolLineEdit::dropEvent(QDropEvent *event)
{
    const QString text = event->mimeData()->text();
    if (!text.isEmpty())
        setText(text);
    event->accept();
}
