// The simulated controller the device control tests run their chains
// against: its answers must follow the device command protocol (who
// answers, echoed offsets, chunks, stored blocks) and its knobs must break
// exactly what they say.
#include "sim_controller.h"

#include "zuhal_packet.h"

#include <QtEndian>
#include <QtTest>

class SimControllerTest : public QObject
{
    Q_OBJECT

private:
    // One request from the host as the window frames it.
    static ZuHalPacket request(quint8 cmd, quint16 sub, const QByteArray &data = QByteArray(),
                               quint16 destination = 0xFFFF, quint16 source = 0xFFFF)
    {
        ZuHalPacket p = FakeMessenger::toHost(2, FakeMessenger::mcPayload(cmd, sub, data), source, destination);
        p.setDstPort(1);
        return p;
    }

    struct Answer
    {
        quint16 source;
        quint8 cmd;
        quint16 sub;
        QByteArray data;
    };

    static QList<Answer> answers(const QList<ZuHalPacket> &replies)
    {
        QList<Answer> list;
        for (const ZuHalPacket &p : replies) {
            const QByteArray d = p.data();
            list.append({p.source(), quint8(d[0]), qFromLittleEndian<quint16>(d.constData() + 1), d.mid(3)});
        }
        return list;
    }

private slots:
    void init()
    {
        m_fake = new FakeMessenger;
        m_fake->setOnOpen(FakeMessenger::OnOpen::Stall);
        m_fake->open(QStringLiteral("sim"));
        m_fake->connectNow();
    }

    void cleanup()
    {
        delete m_fake;
        m_fake = nullptr;
    }

    void infoReplies_data()
    {
        QTest::addColumn<quint16>("sub");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("address") << quint16(0) << QByteArray::fromHex("4200");
        QTest::newRow("config size") << quint16(1) << QByteArray::fromHex("10000000");
        QTest::newRow("config max") << quint16(2) << QByteArray::fromHex("10000000");
        QTest::newRow("capabilities") << quint16(3) << QByteArray::fromHex("05110000");
        QTest::newRow("firmware") << quint16(4) << QByteArray("SIM-PLC radio 1.0");
        QTest::newRow("version = stored header") << quint16(5) << QByteArray::fromHex("b1140000");
        QTest::newRow("uuid") << quint16(6) << QByteArray::fromHex("5349014e");
        QTest::newRow("battery") << quint16(7) << QByteArray::fromHex("57");
    }

    void infoReplies()
    {
        QFETCH(quint16, sub);
        QFETCH(QByteArray, data);
        SimController sim(m_fake);
        const QList<Answer> a = answers(sim.respond(request(1, sub)));
        QCOMPARE(a.size(), 1);
        QCOMPARE(a[0].source, quint16(0x0042));
        QCOMPARE(a[0].cmd, quint8(1));
        QCOMPARE(a[0].sub, sub);
        QCOMPARE(a[0].data, data);
    }

    // The relay routes by destination; a broadcast ping reaches the remote
    // devices only.
    void relayRouting()
    {
        SimController sim(m_fake);
        sim.attached().address = 0x0005;
        sim.addRemote(SimDevice::radioController(0x0012));
        sim.addRemote(SimDevice::scriptController(0x0013));
        QList<Answer> a = answers(sim.respond(request(1, 4)));
        QCOMPARE(a.size(), 2);
        QCOMPARE(a[0].source, quint16(0x0012));
        QCOMPARE(a[1].source, quint16(0x0013));
        QCOMPARE(a[1].data, QByteArray("SIM-PLC script 1.0"));
        a = answers(sim.respond(request(1, 0)));
        QCOMPARE(a.size(), 1);
        QCOMPARE(a[0].source, quint16(0x0005));
        a = answers(sim.respond(request(1, 3, {}, 0x0013, 0x0005)));
        QCOMPARE(a.size(), 1);
        QCOMPARE(a[0].source, quint16(0x0013));
        QVERIFY(sim.respond(request(1, 3, {}, 0x0099, 0x0005)).isEmpty());
    }

    void chunkedReads()
    {
        SimController sim(m_fake);
        SimDevice &d = sim.attached();
        d.readChunk = 10;
        QList<Answer> a = answers(sim.respond(request(3, 0, {}, 0x0042)));
        QCOMPARE(a[0].data, SimDevice::factoryV1().left(10));
        a = answers(sim.respond(request(3, 10, {}, 0x0042)));
        QCOMPARE(a[0].sub, quint16(10));
        QCOMPARE(a[0].data, SimDevice::factoryV1().mid(10));
        d.readEcho = 0;
        d.readExtra = 3;
        a = answers(sim.respond(request(3, 10, {}, 0x0042)));
        QCOMPARE(a[0].sub, quint16(0));
        QCOMPARE(a[0].data.size(), 9);

        d.ioHintChunk = 4;
        a = answers(sim.respond(request(2, 11, {}, 0x0042)));
        QCOMPARE(a[0].data, QByteArray("/KEY"));
        a = answers(sim.respond(request(2, 15, {}, 0x0042)));
        QCOMPARE(a[0].data, QByteArray());
        d.ioHintEndless = true;
        d.ioHintEcho = 7;
        a = answers(sim.respond(request(2, 60000, {}, 0x0042)));
        QCOMPARE(a[0].sub, quint16(7));
        QCOMPARE(a[0].data, QByteArray("xxxx"));
    }

    void writesEraseResetClock()
    {
        SimController sim(m_fake);
        SimDevice &d = sim.attached();
        QCOMPARE(answers(sim.respond(request(6, 3, {}, 0x0042))).size(), 1);
        QCOMPARE(d.config, QByteArray(16, '\xFF'));
        sim.respond(request(4, 0, QByteArray("abcdefghijklmnop"), 0x0042));
        QCOMPARE(d.config, QByteArray("abcdefghijklmnop"));
        QCOMPARE(d.configWrites.size(), 1);
        QCOMPARE(answers(sim.respond(request(1, 5, {}, 0x0042)))[0].data, QByteArray::fromHex("61620000"));
        QCOMPARE(answers(sim.respond(request(6, 0, {}, 0x0042))).size(), 1);
        QCOMPARE(d.config, SimDevice::factoryV1());
        QVERIFY(sim.respond(request(6, 2, {}, 0x0042)).isEmpty());
        QCOMPARE(d.controls.value(2), 1);
        const QList<Answer> a = answers(sim.respond(request(7, 1, QByteArray::fromHex("0066ee5f"), 0x0042)));
        QCOMPARE(d.clock, 1609459200u);
        QCOMPARE(a[0].data, QByteArray::fromHex("0066ee5f"));
    }

    void overridesAndSilence()
    {
        SimController sim(m_fake);
        SimDevice &d = sim.attached();
        d.replyOverride[{1, 1}] = QByteArray(3, 'z');
        d.silent.insert({1, 3});
        QCOMPARE(answers(sim.respond(request(1, 1)))[0].data, QByteArray(3, 'z'));
        QVERIFY(sim.respond(request(1, 3)).isEmpty());
        // A hook that drops the link: the request goes unanswered.
        sim.setRequestHook([this](const ZuHalPacket &) { m_fake->close(); });
        QVERIFY(sim.respond(request(1, 0)).isEmpty());
    }

    // Plugged in as the responder: replies arrive from the event loop.
    void answersThroughTheTransport()
    {
        SimController sim(m_fake);
        QSignalSpy ready(m_fake, &ZuHalAbstractMessenger::dataReady);
        QVERIFY(m_fake->send(request(1, 0)));
        QCOMPARE(ready.count(), 0);
        QTRY_COMPARE(ready.count(), 1);
        QCOMPARE(m_fake->pop().data(), FakeMessenger::mcPayload(1, 0, QByteArray::fromHex("4200")));
    }

private:
    FakeMessenger *m_fake = nullptr;
};

QTEST_GUILESS_MAIN(SimControllerTest)
#include "sim_controller_test.moc"
