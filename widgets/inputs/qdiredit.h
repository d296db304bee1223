#ifndef KOLM_QDIREDIT_H
#define KOLM_QDIREDIT_H

// A directory path: a line edit and a "..." button that opens a directory
// chooser. The edit's background takes the error colour while the text does
// not name an existing directory.

#include <QPalette>
#include <QWidget>

class QHBoxLayout;
class QLineEdit;
class QToolButton;

class QDirEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit QDirEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    bool isValid() const;

signals:
    void textChanged(const QString &text);

private slots:
    void on_edit_textChanged(const QString &text);
    void on_selector_clicked();

private:
    static bool namesDirectory(const QString &path);

    QHBoxLayout *horizontalLayout;
    QLineEdit *edit;
    QToolButton *selector;
    QPalette m_errorPalette;
};

#endif
