#ifndef KOLM_QTOOLLINEEDIT_H
#define KOLM_QTOOLLINEEDIT_H

// A line edit with a small flat tool button inside its right end, shown
// while the mouse is over the edit. The button clears the text, pastes into
// it or picks a file whose path becomes the text; with NoAction there is no
// button and the edit behaves as a plain line edit. Dropped text replaces
// the text.

#include <QLineEdit>

class QToolButton;

class QToolLineEdit : public QLineEdit {
    Q_OBJECT

public:
    enum Actions { Clear = 0, Paste = 1, Open = 2, NoAction = 3 };
    Q_ENUM(Actions)

    static constexpr int ButtonSize = 26;

    explicit QToolLineEdit(QWidget *parent = nullptr, Actions action = Clear);

    void setAction(Actions action);
    void setupToolButton(const QString &toolTip, const QIcon &icon);
    void setToolButtonToolTip(const QString &toolTip);
    void setToolButtonIcon(const QIcon &icon);

public slots:
    // Picks a file; a chosen path becomes the text.
    void open();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void updateSize();

private:
    QToolButton *m_button;
    QString m_filter;
    Actions m_action = Clear;
};

#endif
