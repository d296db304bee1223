#ifndef KOLM_QAUTOCLOSEMESSAGEBOX_H
#define KOLM_QAUTOCLOSEMESSAGEBOX_H

// A message box whose default button counts down the seconds left in its
// text while the box is shown and is clicked when the count reaches zero.
// A timeout of 0 gives a plain message box. The static functions mirror
// QMessageBox's with a timeout in seconds, in three argument orders.

#include <QMessageBox>
#include <QTimer>

class QAutoCloseMessageBox : public QMessageBox {
    Q_OBJECT
    Q_PROPERTY(int timeout READ timeout WRITE setTimeout NOTIFY timeoutChanged)

public:
    explicit QAutoCloseMessageBox(QWidget *parent = nullptr);
    QAutoCloseMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                         QMessageBox::StandardButtons buttons = NoButton, QWidget *parent = nullptr,
                         Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    int timeout() const;
    void setTimeout(int seconds);
    int remaining() const;

#define KOLM_AUTOCLOSE_STATICS(name)                                                                            \
    static StandardButton name(int timeout, QWidget *parent, const QString &title, const QString &text,          \
                               StandardButtons buttons = Ok, StandardButton defaultButton = NoButton);           \
    static StandardButton name(QWidget *parent, const QString &title, const QString &text,                      \
                               StandardButtons buttons, StandardButton defaultButton, int timeout);              \
    static StandardButton name(QWidget *parent, const QString &text, int timeout, const QString &title = QString(), \
                               StandardButtons buttons = Ok, StandardButton defaultButton = NoButton);
    KOLM_AUTOCLOSE_STATICS(critical)
    KOLM_AUTOCLOSE_STATICS(information)
    KOLM_AUTOCLOSE_STATICS(question)
    KOLM_AUTOCLOSE_STATICS(warning)
#undef KOLM_AUTOCLOSE_STATICS

public slots:
    int exec() override;
    void show();

signals:
    void timeoutChanged(int value);

protected slots:
    void d_timeout();
    void d_finished(int result);

private:
    void connectTimer();
    void startCountdown();
    void showRemaining();
    static StandardButton run(QWidget *parent, Icon icon, const QString &title, const QString &text,
                              StandardButtons buttons, StandardButton defaultButton, int timeout);

    QTimer m_timer;
    int m_timeout = 0;
    int m_remaining = 0;
    QString m_buttonText;
};

#endif
