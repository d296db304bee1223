// The simulated controller's script commands: the image it stores, the
// virtual machine's control, state, registers and RAM, and their knobs.
#include "sim_controller.h"

#include "zuhal_packet.h"

#include <QtEndian>
#include <QtTest>

namespace {

quint32 word(const QByteArray &data, int index)
{
    return qFromLittleEndian<quint32>(data.constData() + 4 * index);
}

} // namespace

class SimControllerScriptTest : public QObject
{
    Q_OBJECT

private:
    // The data of the attached device's one reply to cmd/sub, with the
    // sub-command it echoed.
    QByteArray ask(quint8 cmd, quint16 sub, const QByteArray &data = QByteArray(), quint16 *echo = nullptr)
    {
        ZuHalPacket p = FakeMessenger::toHost(2, FakeMessenger::mcPayload(cmd, sub, data), 0xFFFF, 0x0042);
        p.setDstPort(1);
        const QList<ZuHalPacket> replies = m_sim->respond(p);
        if (replies.size() != 1)
            return QByteArray("no reply");
        const QByteArray payload = replies.first().data();
        if (echo)
            *echo = qFromLittleEndian<quint16>(payload.constData() + 1);
        return payload.mid(3);
    }

private slots:
    void init()
    {
        m_fake = new FakeMessenger;
        m_fake->setOnOpen(FakeMessenger::OnOpen::Stall);
        m_fake->open(QStringLiteral("sim"));
        m_fake->connectNow();
        m_sim = new SimController(m_fake);
        m_sim->attached() = SimDevice::scriptController(0x0042);
    }

    void cleanup()
    {
        delete m_sim;
        delete m_fake;
    }

    void imageWrittenAndRead()
    {
        QByteArray image(1004, 0);
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7);
        for (int offset = 0; offset < image.size(); offset += 48) {
            quint16 echo = 0;
            QCOMPARE(ask(0x22, quint16(offset), image.mid(offset, 48), &echo), QByteArray(4, 0));
            QCOMPARE(echo, quint16(offset));
        }
        QCOMPARE(m_sim->attached().rom, image);
        QCOMPARE(word(ask(0x20, 1), 0), 1004u);
        QByteArray read;
        for (QByteArray chunk = ask(0x21, 0); !chunk.isEmpty(); chunk = ask(0x21, quint16(read.size())))
            read += chunk;
        QCOMPARE(read, image);
        // An erase before the next upload drops the image.
        ask(0x06, 3);
        QVERIFY(m_sim->attached().rom.isEmpty());
        QCOMPARE(word(ask(0x20, 1), 0), 0u);
    }

    void flashErrorStoresNothing()
    {
        m_sim->attached().flashResult = 5;
        QCOMPARE(ask(0x22, 0, QByteArray(48, 'k')), QByteArray("\x05\x00\x00\x00", 4));
        QVERIFY(m_sim->attached().rom.isEmpty());
    }

    void vmControl_data()
    {
        QTest::addColumn<quint16>("control");
        QTest::addColumn<quint32>("flagsBefore");
        QTest::addColumn<quint32>("flagsAfter");
        QTest::addColumn<quint32>("eipAfter");
        QTest::newRow("halt") << quint16(0) << 0u << 0x800u << 0u;
        QTest::newRow("launch") << quint16(1) << 0x800u << 0u << 0u;
        QTest::newRow("interrupt") << quint16(2) << 0u << 0x800u << 0u;
        QTest::newRow("continue") << quint16(3) << 0x803u << 3u << 0u;
        QTest::newRow("step") << quint16(4) << 0x800u << 0x800u << 1u;
    }

    void vmControl()
    {
        QFETCH(quint16, control);
        QFETCH(quint32, flagsBefore);
        QFETCH(quint32, flagsAfter);
        QFETCH(quint32, eipAfter);
        SimDevice &d = m_sim->attached();
        d.vmFlags = flagsBefore;
        QCOMPARE(ask(0x23, control), QByteArray());
        QCOMPARE(d.vmFlags, flagsAfter);
        QCOMPARE(word(ask(0x20, 0), 0), flagsAfter);
        QCOMPARE(d.registers.at(4), eipAfter);
        QCOMPARE(d.vmControls.value(control), 1);
    }

    void vmState()
    {
        SimDevice &d = m_sim->attached();
        d.vmStack = 4;
        d.vmRam = 130;
        d.isr = 0x1234;
        d.registers = {1, 2, 3, 4, 5, 6, 7, 8};
        const QByteArray info = ask(0x24, 0);
        QCOMPARE(info.size(), 16);
        QCOMPARE(word(info, 0), d.vmFlags);
        QCOMPARE(word(info, 1), 4u);
        QCOMPARE(word(info, 2), 130u);
        QCOMPARE(word(info, 3), 8u);
        QCOMPARE(ask(0x24, 2), QByteArray("\x34\x12\x00\x00", 4));
        const QByteArray regs = ask(0x25, 0);
        QCOMPARE(regs.size(), 32);
        QCOMPARE(word(regs, 7), 8u);
    }

    // The RAM, variables and stack, read from the offsets asked: 146 bytes
    // in chunks of 64 are 64, 64, 18 and an empty reply.
    void ramRead()
    {
        SimDevice &d = m_sim->attached();
        d.vmStack = 4;
        d.vmRam = 130;
        d.ramChunk = 64;
        QList<int> sizes;
        QByteArray read;
        for (;;) {
            const QByteArray chunk = ask(0x26, quint16(read.size()));
            sizes << chunk.size();
            if (chunk.isEmpty())
                break;
            read += chunk;
        }
        QCOMPARE(sizes, (QList<int>{64, 64, 18, 0}));
        QCOMPARE(read, d.ramImage());
        QCOMPARE(quint8(read.at(140)), quint8(140));
    }

private:
    FakeMessenger *m_fake = nullptr;
    SimController *m_sim = nullptr;
};

QTEST_MAIN(SimControllerScriptTest)
#include "sim_controller_script_test.moc"
