#ifndef KOLM_QHEXLINEEDIT_H
#define KOLM_QHEXLINEEDIT_H

// A fixed number of bytes as upper-case hexadecimal digits, edited in
// place: typing, Backspace, Delete and pasting overwrite digits and never
// insert or remove characters. Backspace and Delete write the digit of the
// default value.

#include <QLineEdit>

class QHexLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit QHexLineEdit(QWidget *parent = nullptr);

    int size() const;
    unsigned char defaultValue() const;
    // Both rebuild the text from the default value.
    void setSize(int bytes);
    void setDefaultValue(unsigned char value);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void rebuild();
    // Writes digits over the text from position on and moves the cursor.
    void overwrite(int position, const QString &digits, int cursor);

    int m_size = 4;
    unsigned char m_default = 0xFF;
};

#endif
