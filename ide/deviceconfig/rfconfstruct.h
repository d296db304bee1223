#pragma once
// What every configuration block layout offers: factory values, a text
// dump, and its bytes as the controller stores them. Both layouts derive
// from this one interface; each namespace names it RFConfStruct.

#include <QByteArray>
#include <QObject>
#include <QString>

class RFConfStruct : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void init() = 0;
    virtual QString dump(int indent) const = 0;
    virtual QByteArray serialize() const = 0;
    virtual bool parse(const QByteArray &data) = 0;
};
