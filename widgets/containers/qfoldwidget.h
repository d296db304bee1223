#ifndef KOLM_QFOLDWIDGET_H
#define KOLM_QFOLDWIDGET_H

// A titled panel whose content area folds away. The title row holds a flat
// arrow button and a label (plain mode) or a check box that carries the
// title (checkable mode); the check box is checked while the panel is open.

#include <QWidget>

class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

class QFoldWidget : public QWidget {
    Q_OBJECT

public:
    explicit QFoldWidget(QWidget *parent = nullptr);

    void setCheckable(bool checkable);
    bool isChecked() const;
    void setTitle(const QString &title);
    QString title() const;
    // Puts w into the content area, which becomes its parent.
    void addCentralWidget(QWidget *w);
    void fold();
    void unfold();

private slots:
    void on_foldTool_clicked();
    void on_foldCheck_clicked(bool on);

private:
    QVBoxLayout *verticalLayout;
    QFrame *titleBar;
    QHBoxLayout *horizontalLayout;
    QToolButton *foldTool;
    QCheckBox *foldCheck;
    QLabel *titleLabel;
    QFrame *widgetContainer;
};

#endif
