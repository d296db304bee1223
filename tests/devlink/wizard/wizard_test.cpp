#include "remoteconnectionwizard.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

class WizardTest : public QObject
{
    Q_OBJECT

private slots:
    void nextNeedsAnAddress()
    {
        RemoteConnectionWizard wizard(RemoteConnectionWizard::TCP);
        wizard.show();
        QAbstractButton *next = wizard.button(QWizard::NextButton);
        QVERIFY(!next->isEnabled());
        auto *address = wizard.findChild<QLineEdit *>(QStringLiteral("addressEdit"));
        QVERIFY(address);
        QTest::keyClicks(address, QStringLiteral("1"));
        QVERIFY(next->isEnabled());
        address->clear();
        QVERIFY(!next->isEnabled());
    }

    void onlyIpAddressesLeaveTheFirstPage_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("host name") << QStringLiteral("localhost") << false;
        QTest::newRow("IPv4") << QStringLiteral("192.168.0.10") << true;
        QTest::newRow("IPv6") << QStringLiteral("::1") << true;
        QTest::newRow("incomplete IPv4") << QStringLiteral("192.168.0.") << false;
    }
    void onlyIpAddressesLeaveTheFirstPage()
    {
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        RemoteConnectionWizard wizard(RemoteConnectionWizard::TCP);
        wizard.show();
        const int first = wizard.currentId();
        wizard.findChild<QLineEdit *>(QStringLiteral("addressEdit"))->setText(address);
        QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
        QCOMPARE(wizard.currentId() != first, accepted);
        if (accepted)
            QCOMPARE(wizard.currentPage()->title(), QStringLiteral("Remote Device"));
    }

    void protocolFollowsTheConnection_data()
    {
        QTest::addColumn<RemoteConnectionWizard::Connection>("connection");
        QTest::addColumn<bool>("tcp");
        QTest::newRow("TCP") << RemoteConnectionWizard::TCP << true;
        QTest::newRow("UDP") << RemoteConnectionWizard::UDP << false;
    }
    void protocolFollowsTheConnection()
    {
        QFETCH(RemoteConnectionWizard::Connection, connection);
        QFETCH(bool, tcp);
        RemoteConnectionWizard wizard(connection);
        QCOMPARE(wizard.field(QStringLiteral("tcp")).toBool(), tcp);
        QCOMPARE(wizard.findChild<QRadioButton *>(QStringLiteral("tcpRadio"))->isChecked(), tcp);
        QCOMPARE(wizard.findChild<QRadioButton *>(QStringLiteral("udpRadio"))->isChecked(), !tcp);
    }

    void setupFillsTheFields()
    {
        RemoteConnectionWizard wizard(RemoteConnectionWizard::UDP);
        wizard.show();
        wizard.setup(QStringLiteral("10.1.2.3"), 54242);
        QCOMPARE(wizard.field(QStringLiteral("address")).toString(), QStringLiteral("10.1.2.3"));
        QCOMPARE(wizard.field(QStringLiteral("port")).toInt(), 54242);
        QCOMPARE(wizard.findChild<QSpinBox *>(QStringLiteral("portSpin"))->maximum(), 65535);
        QVERIFY(wizard.button(QWizard::NextButton)->isEnabled());
    }
};

QTEST_MAIN(WizardTest)
#include "wizard_test.moc"
