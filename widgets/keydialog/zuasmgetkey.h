#ifndef KOLM_ZUASMGETKEY_H
#define KOLM_ZUASMGETKEY_H

// The modal dialog for the 8-byte key of enciphered device packets, typed
// as 16 hexadecimal digits (HEX) or as 8 characters (ASCII). Switching the
// format empties the key, so a key is never read in the other form. OK is
// offered only for a text that gives a whole key in the chosen form.

#include <QDialog>

namespace Ui {
class ZuASMGetKey;
}

class ZuASMGetKey : public QDialog {
    Q_OBJECT

public:
    explicit ZuASMGetKey(QWidget *parent = nullptr);
    ~ZuASMGetKey() override;

    void setKey(const unsigned char (&key)[8]);
    // Leaves key untouched when the text gives no key.
    void getKey(unsigned char (&key)[8]) const;

private slots:
    void on_hexRadio_toggled(bool on);
    void updateOkButton();

private:
    bool textGivesKey() const;

    Ui::ZuASMGetKey *ui;
};

#endif
