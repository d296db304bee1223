#pragma once
// The "Advanced" options of the chat page: the source and destination ports
// of sent messages (the destination port also names the other source port
// taken as chat) and whether the message text is sent as hexadecimal bytes.

#include <QWidget>

namespace Ui {
class ChatAdvancedForm;
}

class ChatAdvancedForm : public QWidget
{
    Q_OBJECT

public:
    explicit ChatAdvancedForm(QWidget *parent = nullptr);
    ~ChatAdvancedForm() override;

    int sourcePort() const;       // msgSrcPort, 0 to 15
    int destinationPort() const;  // msgDestPort, 0 to 15
    bool messageIsHex() const;    // msgHexCheck

private:
    Ui::ChatAdvancedForm *ui;
};
