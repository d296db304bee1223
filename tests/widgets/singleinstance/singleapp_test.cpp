// The single-instance guard within one process: the key, the first and a
// later instance, and how the first cuts what clients send into messages.

#include "singleapp.h"
#include "unique_app_name.h"

#include <QLocalSocket>
#include <QScopedPointer>
#include <QSignalSpy>
#include <QtTest>

class SingleAppTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QCoreApplication::setApplicationName(uniqueAppName());
    }

    void keyIsTheSha256OfTheApplicationName()
    {
        QCoreApplication::setApplicationName(QStringLiteral("abc"));
        SingleAppHandler handler(qApp);
        QCOMPARE(handler.appHash(), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    }

    void laterInstanceSendsToTheFirst()
    {
        SingleAppHandler first(qApp);
        QVERIFY(first.isSingle());
        QSignalSpy received(&first, &SingleAppHandler::incomingMessage);

        SingleAppHandler later(qApp);
        QVERIFY(!later.isSingle());
        later.sendMessage(QStringLiteral("show"));
        QVERIFY(received.wait(5000));
        QCOMPARE(received.takeFirst().at(0).toString(), QStringLiteral("show"));
    }

    void segmentGoesWithTheFirstInstance()
    {
        QScopedPointer<SingleAppHandler> first(new SingleAppHandler(qApp));
        QVERIFY(first->isSingle());
        first.reset();
        SingleAppHandler next(qApp);
        QVERIFY(next.isSingle());
    }

    void messageToNoFirstInstanceIsDropped()
    {
        SingleAppHandler handler(qApp);
        handler.sendMessage(QStringLiteral("show"));
    }

    void readsAreCutIntoMessages_data()
    {
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("two lines in one write") << QList<QByteArray>{"a\nb\n"} << QStringList{"a", "b"};
        QTest::newRow("split message") << QList<QByteArray>{"sh", "ow\n"} << QStringList{"show"};
        QTest::newRow("empty line dropped") << QList<QByteArray>{"show\n\n"} << QStringList{"show"};
        QTest::newRow("leading newline") << QList<QByteArray>{"\n", "show\n"} << QStringList{"show"};
        QTest::newRow("UTF-8") << QList<QByteArray>{"gr\xc3\xbc", "\xc3\x9f\n"} << QStringList{"gr\u00fc\u00df"};
        QTest::newRow("invalid UTF-8 replaced") << QList<QByteArray>{"a\xff\n"} << QStringList{"a\ufffd"};
    }

    void readsAreCutIntoMessages()
    {
        QFETCH(QList<QByteArray>, writes);
        QFETCH(QStringList, messages);
        SingleAppHandler first(qApp);
        QVERIFY(first.isSingle());
        QSignalSpy received(&first, &SingleAppHandler::incomingMessage);

        QLocalSocket client;
        client.connectToServer(QStringLiteral("/tmp/") + first.appHash());
        QVERIFY(client.waitForConnected(5000));
        for (const QByteArray &bytes : writes) {
            client.write(bytes);
            QVERIFY(client.waitForBytesWritten(5000));
            QTest::qWait(20);
        }
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), messages.count(), 5000);
        QStringList got;
        for (const QList<QVariant> &signal : qAsConst(received))
            got << signal.at(0).toString();
        QCOMPARE(got, messages);
    }

    // Each connection has its own buffer: halves of lines from two clients
    // are never joined.
    void clientsKeepTheirOwnText()
    {
        SingleAppHandler first(qApp);
        QVERIFY(first.isSingle());
        QSignalSpy received(&first, &SingleAppHandler::incomingMessage);
        const QString name = QStringLiteral("/tmp/") + first.appHash();

        QLocalSocket a;
        QLocalSocket b;
        a.connectToServer(name);
        b.connectToServer(name);
        QVERIFY(a.waitForConnected(5000));
        QVERIFY(b.waitForConnected(5000));
        a.write("one-");
        b.write("two-");
        QVERIFY(a.waitForBytesWritten(5000));
        QVERIFY(b.waitForBytesWritten(5000));
        QTest::qWait(20);
        b.write("b\n");
        a.write("a\n");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 2, 5000);
        QCOMPARE((QStringList{received.at(0).at(0).toString(), received.at(1).at(0).toString()}),
                 (QStringList{"two-b", "one-a"}));
    }

    void firstInstanceEndsWithClientsConnected()
    {
        QScopedPointer<SingleAppHandler> first(new SingleAppHandler(qApp));
        QVERIFY(first->isSingle());
        QLocalSocket client;
        client.connectToServer(QStringLiteral("/tmp/") + first->appHash());
        QVERIFY(client.waitForConnected(5000));
        client.write("half");
        QVERIFY(client.waitForBytesWritten(5000));
        QTest::qWait(20);
        first.reset();
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 5000);
    }
};

QTEST_GUILESS_MAIN(SingleAppTest)
#include "singleapp_test.moc"
