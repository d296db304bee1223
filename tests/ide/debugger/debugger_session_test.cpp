// A whole debugging session, offscreen: the local emulator bridge starts
// halvane-kdb, a device-link client uploads a fixture image built with debug
// information and single-steps it, and the page is fed the replies and the
// disassembler bridge's listing the way the main window feeds it.

#include "debug_project.h"
#include "device_link_client.h"
#include "form_child.h"
#include "free_port.h"
#include "kolmdisassembler.h"
#include "kolmlocaldebugger.h"
#include "qmaterialfont.h"
#include "qsourceeditor.h"
#include "source_highlight.h"
#include "temp_settings.h"
#include "zuasmdebugger.h"

#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <QtEndian>

namespace {

constexpr int kWaitMs = 20000;
// Single steps allowed to reach a statement: far more than the fixture
// needs.
constexpr int kStepLimit = 500;

enum : uint8_t { CMD_SCRIPT_CONTROL = 0x23, CMD_VM_INFO = 0x24, CMD_REGISTERS = 0x25, CMD_RAM_READ = 0x26 };
enum : uint16_t { SCRIPT_DEBUG = 0, SCRIPT_STEP = 4 };

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<tvar> words(const QByteArray &bytes)
{
    QVector<tvar> list;
    for (int i = 0; i + 4 <= bytes.size(); i += 4)
        list << qFromLittleEndian<quint32>(bytes.constData() + i);
    return list;
}

} // namespace

class DebuggerSessionTest : public QObject {
    Q_OBJECT

private slots:
    void stepsThroughMain();

private:
    // The replies of one debug information exchange, fed to the page.
    bool readState(ZuASMDebugger &page);
    // One single step and the register reply after it.
    bool step(ZuASMDebugger &page);
    bool startEmulator(KolmLocalDebugger &emulator);
    // Single steps while the page stays in the mode, as the host does;
    // false when a reply fails or the page never leaves the mode.
    bool stepWhile(ZuASMDebugger &page, ZuASMDebugger::Mode mode);

    DeviceLinkClient m_client;
};

bool DebuggerSessionTest::startEmulator(KolmLocalDebugger &emulator)
{
    // A port taken between the probe and the start ends the child: retried.
    for (int attempt = 0; attempt < 5; ++attempt) {
        QSettings().setValue(KolmLocalDebugger::PortKey, freePort());
        emulator.start();
        if (!emulator.process()->waitForStarted(kWaitMs))
            return false;
        if (m_client.connect(QSettings().value(KolmLocalDebugger::PortKey).toInt(), kWaitMs))
            return true;
        emulator.stop(true);
    }
    return false;
}

bool DebuggerSessionTest::readState(ZuASMDebugger &page)
{
    QByteArray info, isr;
    if (!m_client.command(CMD_VM_INFO, 0, {}, &info) || info.size() != 16 ||
        !m_client.command(CMD_VM_INFO, 2, {}, &isr) || isr.size() != 4)
        return false;
    const QVector<tvar> vm = words(info);
    page.setFlagWord(vm.at(0));
    page.setupStack(int(vm.at(1)));
    page.setupRam(int(vm.at(2)));
    page.setupRegs(int(vm.at(3)));
    page.setInterruptLevel(words(isr).at(0));
    QByteArray chunk;
    for (int offset = 0; m_client.command(CMD_RAM_READ, uint16_t(offset), {}, &chunk) && !chunk.isEmpty();
         offset += chunk.size())
        page.setRam(offset, chunk);
    page.updateRam();
    page.updateInfo();
    return step(page);
}

bool DebuggerSessionTest::step(ZuASMDebugger &page)
{
    QByteArray regs;
    if (!m_client.command(CMD_REGISTERS, 0, {}, &regs) || regs.size() != 28)
        return false;
    page.updateRegisters(words(regs));
    return true;
}

bool DebuggerSessionTest::stepWhile(ZuASMDebugger &page, ZuASMDebugger::Mode mode)
{
    for (int steps = 0; page.mode() == mode; ++steps) {
        if (steps == kStepLimit || !m_client.command(CMD_SCRIPT_CONTROL, SCRIPT_STEP) || !step(page))
            return false;
    }
    return page.mode() == ZuASMDebugger::Step;
}

void DebuggerSessionTest::stepsThroughMain()
{
    TempSettings settings;
    const QByteArray source = readFile(QStringLiteral(FIXTURE_SOURCE));
    const QByteArray image = readFile(QStringLiteral(FIXTURE_IMAGE));
    QVERIFY(!source.isEmpty() && image.size() > 36);
    DebugProject project(source);
    QVERIFY(project.loaded());

    ZuASMDebugger page;
    page.resize(1100, 700);
    page.show();
    page.setProject(project.project());
    auto *editor = formChild<QSourceEditor>(page, "codeEditor");
    auto *asmTable = formChild<QTableView>(page, "asmTable");
    auto *ramView = formChild<QTableView>(page, "ramView");
    auto *registersView = formChild<QTableView>(page, "registersView");

    KolmLocalDebugger emulator;
    QSignalSpy finished(&emulator, &KolmLocalDebugger::finished);
    QVERIFY(startEmulator(emulator));

    page.clear();
    QVERIFY(m_client.upload(image.toStdString()));
    QVERIFY(m_client.command(CMD_SCRIPT_CONTROL, SCRIPT_DEBUG));

    KolmDisassembler disassembler;
    QSignalSpy disassembled(&disassembler, &KolmDisassembler::finished);
    disassembler.run(image);
    QVERIFY(disassembled.wait(kWaitMs));
    QVERIFY(disassembled.at(0).at(0).toBool());
    QSignalSpy syms(&page, &ZuASMDebugger::debugsyms);
    QVERIFY(page.setAsm(disassembler.result()));
    QCOMPARE(syms.at(0).at(0).toBool(), true);
    page.setMode(ZuASMDebugger::RunToMain);

    QVERIFY(readState(page));
    QCOMPARE(registersView->model()->rowCount(), 7);
    QCOMPARE(ramView->model()->rowCount() * 16, 768);

    // The host steps while the page stays in RunToMain: up to the first
    // statement of main, the declaration of a.
    QVERIFY(stepWhile(page, ZuASMDebugger::RunToMain));
    QCOMPARE(editor->toPlainText(), QString::fromUtf8(source));
    QCOMPARE(formChild<QStackedWidget>(page, "stackedWidget")->currentIndex(), 1);
    QCOMPARE(highlighted(editor), QStringLiteral("a"));
    QCOMPARE(editor->textCursor().blockNumber(), 3);

    // The EIP row of the disassembly is marked.
    QByteArray regs;
    QVERIFY(m_client.command(CMD_REGISTERS, 0, {}, &regs));
    const QString eipText = QStringLiteral("0x%1").arg(words(regs).at(4), 8, 16, QLatin1Char('0'));
    QAbstractItemModel *listing = asmTable->model();
    QStringList marked;
    for (int row = 0; row < listing->rowCount(); ++row) {
        if (listing->index(row, 0).data(Qt::BackgroundRole).isValid())
            marked << listing->index(row, 0).data().toString();
    }
    QCOMPARE(marked, QStringList{eipText});

    // Next: the host steps until the source location changes; ranges that
    // meet the current one (parts of one statement) do not stop it.
    const QList<QPair<int, QString>> stops{{3, "b"}, {4, "1"}, {5, "a"}, {5, "2"}, {6, "b"}};
    for (const auto &stop : stops) {
        page.setMode(ZuASMDebugger::Next);
        QVERIFY(stepWhile(page, ZuASMDebugger::Next));
        QCOMPARE(editor->textCursor().blockNumber(), stop.first);
        QCOMPARE(highlighted(editor), stop.second);
        if (stop.first == 4) {
            QVERIFY(readState(page));
            formChild<QTreeView>(page, "runtimeTree")->expandAll();
            const QImage picture = page.grab().toImage();
            QVERIFY(!picture.isNull());
            QVERIFY(picture.save(QStringLiteral(PICTURE_DIR "/debugger_session.png")));
            // The same moment in the disassembly, as the user picks it.
            auto *combo = formChild<QComboBox>(page, "codeViewCombo");
            combo->setCurrentIndex(0);
            emit combo->activated(0);
            QVERIFY(page.grab().save(QStringLiteral(PICTURE_DIR "/debugger_session_asm.png")));
        }
    }

    m_client.close();
    emulator.stop();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kWaitMs);
    QCOMPARE(finished.at(0), (QList<QVariant>{true, 0}));
    QCOMPARE(emulator.process()->state(), QProcess::NotRunning);
}

QTEST_MAIN(DebuggerSessionTest)
#include "debugger_session_test.moc"
