#include "zuasmgetkey.h"

#include "ui_zuasmgetkey.h"
#include "zuhal_packet.h"

#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

const char hexPattern[] = "[A-Fa-f0-9]{16,16}";
const char textPattern[] = "[ -~]{8,8}";
const int textKeyLength = 8;

} // namespace

ZuASMGetKey::ZuASMGetKey(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ZuASMGetKey)
{
    ui->setupUi(this);
    connect(ui->keyEdit, &QLineEdit::textChanged, this, &ZuASMGetKey::updateOkButton);
    connect(ui->hexRadio, &QRadioButton::toggled, this, &ZuASMGetKey::updateOkButton);
    updateOkButton();
}

ZuASMGetKey::~ZuASMGetKey()
{
    delete ui;
}

void ZuASMGetKey::setKey(const unsigned char (&key)[8])
{
    const QString text = ZuHalPacket::printKey(key);
    if (text.size() == textKeyLength)
        ui->asciiRadio->setChecked(true);
    else
        ui->hexRadio->setChecked(true);
    ui->keyEdit->setText(text);
}

void ZuASMGetKey::getKey(unsigned char (&key)[8]) const
{
    ZuHalPacket::pasteKey(ui->keyEdit->text(), key);
}

void ZuASMGetKey::on_hexRadio_toggled(bool on)
{
    const QValidator *old = ui->keyEdit->validator();
    const QRegularExpression pattern(QLatin1String(on ? hexPattern : textPattern));
    ui->keyEdit->setValidator(new QRegularExpressionValidator(pattern, ui->keyEdit));
    delete old;
    ui->keyEdit->clear();
}

// HEX wants 16 hexadecimal digits; ASCII wants 8 characters that the packet
// takes as a text key, so a key is never silently left unchanged after OK.
bool ZuASMGetKey::textGivesKey() const
{
    const QString text = ui->keyEdit->text();
    if (ui->hexRadio->isChecked()) {
        static const QRegularExpression hexDigits(QStringLiteral("\\A%1\\z").arg(QLatin1String(hexPattern)));
        return hexDigits.match(text).hasMatch();
    }
    ZuHalPacket::Key scratch;
    return ui->asciiRadio->isChecked() && text.size() == textKeyLength && ZuHalPacket::pasteKey(text, scratch);
}

void ZuASMGetKey::updateOkButton()
{
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(textGivesKey());
}
