#ifndef KOLM_QCOVERWIDGET_H
#define KOLM_QCOVERWIDGET_H

// An overlay laid over another widget; it follows the covered widget's size
// until it is stopped.

#include <QPointer>
#include <QWidget>

class QCoverWidget : public QWidget {
    Q_OBJECT

public:
    explicit QCoverWidget(QWidget *parent = nullptr);

    QWidget *coveredWidget() const;

public slots:
    void start(QWidget *bg);
    void stop();

protected:
    bool eventFilter(QObject *obj, QEvent *event) override;

private:
    // Guarded: the covered widget may be deleted while covered.
    QPointer<QWidget> m_covered;
};

#endif
