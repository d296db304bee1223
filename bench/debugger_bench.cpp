// The debugger page's speed as the user feels it: halvane-kdb's disassembly
// of a 16 KB image through the disassembler bridge (goal: under 300 ms), the
// page taking the listing of a 60 KB image (under 300 ms) and one
// single-step refresh, registers to highlighted statement, with a
// 5,000-line source shown (under 16 ms). Prints median, least and greatest
// times against the goals.

#include "debug_image.h"
#include "debug_project.h"
#include "kolmdisassembler.h"
#include "script_timing.h"
#include "zuasmdebugger.h"

#include <QApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

constexpr int kRuns = 15;
constexpr int kSteps = 200;
constexpr int kSourceLines = 5000;

// One run of the bridge; the listing, or empty after a failed run.
QByteArray disassemble(KolmDisassembler &disassembler, const std::string &image)
{
    QEventLoop loop;
    bool ok = false;
    const auto connection = QObject::connect(&disassembler, &KolmDisassembler::finished, &loop, [&](bool result) {
        ok = result;
        loop.quit();
    });
    disassembler.run(QByteArray(image.data(), int(image.size())));
    loop.exec();
    QObject::disconnect(connection);
    return ok ? disassembler.result() : QByteArray();
}

// A listing of one 4-byte instruction per source line, each line its own
// debug location.
QByteArray lineListing(int lines)
{
    QJsonArray text, locations;
    for (int line = 1; line <= lines; ++line) {
        const int eip = 4 * line;
        text.append(QJsonObject{{"EIP", eip}, {"opcode", 225}, {"opname", "sto"}, {"args", QJsonArray{"%EAX", "1"}}});
        locations.append(QJsonObject{{"start", eip},
                                     {"end", eip + 4},
                                     {"idx", 0},
                                     {"from", QJsonObject{{"line", line}, {"column", 1}}},
                                     {"to", QJsonObject{{"line", line}, {"column", 12}}}});
    }
    const QJsonObject symbols{{"type", "DS"},
                              {"data", QJsonObject{{"files", QJsonArray{"main.kos"}}, {"debug_loc", locations}}}};
    return QJsonDocument(QJsonObject{{"table", QJsonObject{{"main", 4}}}, {"text", text}, {"extensions", QJsonArray{symbols}}})
        .toJson(QJsonDocument::Compact);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    KolmDisassembler disassembler;

    const std::string small = debugImageOfSize(16 * 1024);
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        bool ok = false;
        times.push_back(timeMs([&] { ok = !disassemble(disassembler, small).isEmpty(); }));
        if (!ok) {
            std::fprintf(stderr, "The disassembly of the 16 KB image failed\n");
            return 1;
        }
    }
    report("disassembly of a 16 KB image (bridge)", times, 300);

    const QByteArray listing = disassemble(disassembler, debugImageOfSize(60 * 1024));
    ZuASMDebugger page;
    page.resize(1100, 700);
    page.show();
    times.clear();
    for (int i = 0; i < kRuns; ++i)
        times.push_back(timeMs([&] { page.setAsm(listing); }));
    report("setAsm of a 60 KB image's listing", times, 300);

    DebugProject project(generatedScript(kSourceLines).toUtf8());
    if (!project.loaded()) {
        std::fprintf(stderr, "The project does not load\n");
        return 1;
    }
    page.setProject(project.project());
    page.setAsm(lineListing(kSourceLines));
    page.setupRegs(7);
    QVector<tvar> regs(7, 0);
    regs[4] = 4;
    page.updateRegisters(regs);
    times.clear();
    for (int step = 1; step <= kSteps; ++step) {
        // Through the whole file, so that the view scrolls on every step.
        regs[4] = tvar(4 * (1 + (step * 97) % kSourceLines));
        times.push_back(timeMs([&] {
            page.updateRegisters(regs);
            QCoreApplication::processEvents();
        }));
    }
    report("one step refresh, 5,000-line source", times, 16);
    return 0;
}
