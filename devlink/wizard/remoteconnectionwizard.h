#pragma once

#include <QWizard>

// A two-page wizard for the address of a remote device reached over TCP or
// UDP. Its fields: "address" (text), "port" (0 to 65535), "tcp" (whether TCP
// is chosen).
class RemoteConnectionWizard : public QWizard
{
    Q_OBJECT

public:
    enum Connection { TCP = 0, UDP = 1 };
    Q_ENUM(Connection)

    explicit RemoteConnectionWizard(Connection connection, QWidget *parent = nullptr);

    void setup(const QString &address, quint16 port);
};
