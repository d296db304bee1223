#include "qautoclosemessagebox.h"

#include <QDialogButtonBox>
#include <QPushButton>

QAutoCloseMessageBox::QAutoCloseMessageBox(QWidget *parent)
    : QMessageBox(parent)
    , m_timer(this)
{
    connectTimer();
}

QAutoCloseMessageBox::QAutoCloseMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                           QMessageBox::StandardButtons buttons, QWidget *parent,
                                           Qt::WindowFlags flags)
    : QMessageBox(icon, title, text, buttons, parent, flags)
    , m_timer(this)
{
    connectTimer();
}

void QAutoCloseMessageBox::connectTimer()
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &QAutoCloseMessageBox::d_timeout);
    connect(this, &QDialog::finished, this, &QAutoCloseMessageBox::d_finished);
}

int QAutoCloseMessageBox::timeout() const
{
    return m_timeout;
}

void QAutoCloseMessageBox::setTimeout(int seconds)
{
    if (seconds == m_timeout)
        return;
    m_timeout = seconds;
    m_remaining = seconds;
    emit timeoutChanged(seconds);
}

int QAutoCloseMessageBox::remaining() const
{
    return m_remaining;
}

void QAutoCloseMessageBox::showRemaining()
{
    defaultButton()->setText(m_buttonText + QStringLiteral(" (%1)").arg(m_remaining));
}

void QAutoCloseMessageBox::startCountdown()
{
    if (!defaultButton())
        return;
    m_buttonText = defaultButton()->text();
    if (m_timeout <= 0)
        return;
    m_remaining = m_timeout;
    showRemaining();
    m_timer.start();
}

int QAutoCloseMessageBox::exec()
{
    startCountdown();
    return QMessageBox::exec();
}

void QAutoCloseMessageBox::show()
{
    startCountdown();
    QMessageBox::show();
}

void QAutoCloseMessageBox::d_timeout()
{
    if (m_timeout <= 0)
        return;
    --m_remaining;
    if (m_remaining > 0) {
        if (defaultButton())
            showRemaining();
        return;
    }
    if (defaultButton())
        defaultButton()->animateClick(1);
    else
        m_timer.stop();
}

// The button gets its own text back, so a box shown again counts down from
// a clean label.
void QAutoCloseMessageBox::d_finished(int)
{
    m_timer.stop();
    if (defaultButton() && !m_buttonText.isEmpty())
        defaultButton()->setText(m_buttonText);
}

QMessageBox::StandardButton QAutoCloseMessageBox::run(QWidget *parent, Icon icon, const QString &title,
                                                      const QString &text, StandardButtons buttons,
                                                      StandardButton defaultButton, int timeout)
{
    QAutoCloseMessageBox box(icon, title, text, NoButton, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto *buttonBox = box.findChild<QDialogButtonBox *>();
    for (uint mask = Ok; mask <= RestoreDefaults; mask <<= 1) {
        const auto standard = StandardButton(mask);
        if (!(buttons & standard))
            continue;
        QPushButton *button = box.addButton(standard);
        if (box.defaultButton())
            continue;
        const bool accepts = buttonBox && buttonBox->buttonRole(button) == QDialogButtonBox::AcceptRole;
        if (standard == defaultButton || (defaultButton == NoButton && accepts))
            box.setDefaultButton(button);
    }
    box.setTimeout(timeout);
    if (box.exec() == -1)
        return Cancel;
    return box.standardButton(box.clickedButton());
}

#define KOLM_AUTOCLOSE_STATICS(name, icon)                                                                      \
    QMessageBox::StandardButton QAutoCloseMessageBox::name(int timeout, QWidget *parent, const QString &title,  \
                                                           const QString &text, StandardButtons buttons,        \
                                                           StandardButton defaultButton)                        \
    {                                                                                                           \
        return run(parent, icon, title, text, buttons, defaultButton, timeout);                                 \
    }                                                                                                           \
    QMessageBox::StandardButton QAutoCloseMessageBox::name(QWidget *parent, const QString &title,               \
                                                           const QString &text, StandardButtons buttons,        \
                                                           StandardButton defaultButton, int timeout)           \
    {                                                                                                           \
        return run(parent, icon, title, text, buttons, defaultButton, timeout);                                 \
    }                                                                                                           \
    QMessageBox::StandardButton QAutoCloseMessageBox::name(QWidget *parent, const QString &text, int timeout,   \
                                                           const QString &title, StandardButtons buttons,       \
                                                           StandardButton defaultButton)                        \
    {                                                                                                           \
        const QString shown = title.isEmpty() && parent ? parent->windowTitle() : title;                         \
        return run(parent, icon, shown, text, buttons, defaultButton, timeout);                                 \
    }

KOLM_AUTOCLOSE_STATICS(critical, Critical)
KOLM_AUTOCLOSE_STATICS(information, Information)
KOLM_AUTOCLOSE_STATICS(question, Question)
KOLM_AUTOCLOSE_STATICS(warning, Warning)
#undef KOLM_AUTOCLOSE_STATICS
