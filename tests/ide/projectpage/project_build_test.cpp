// The project page's build: warnings before anything is compiled, the order
// in which same-named defines win, diagnostics as information or errors, the
// output file on success and failure, the memory limits and the size
// report, the uploadable part of an image, and a build that meets its own
// warning box.

#include "console_printer.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "temp_settings.h"

#include <QRegularExpression>
#include <QTextEdit>
#include <limits>
#include <QtTest>

namespace {

const QByteArray kSum = "var main()\n{\n    var sum = 0, i;\n    for (i = 1; i <= 10; i++)\n        sum += i;\n"
                        "    return sum;\n}\n";
// Two warning lines: the unused variable and where its block is.
const QByteArray kUnused = "var main()\n{\n    {\n        var unused;\n    }\n    return 1;\n}\n";
const QByteArray kGlobal = "var g;\nvar main()\n{\n    g = 4;\n    return g;\n}\n";

const int kNoLimit = std::numeric_limits<int>::min();

QByteArray returning(const QByteArray& expression)
{
    return "var main()\n{\n    return " + expression + ";\n}\n";
}

// The sizes of a size report: text, data, bss, total.
QList<uint> reportedSizes(const QString& report)
{
    static const QRegularExpression pattern(
        "^information: Compilation finished\\. Text (\\d+) / Data (\\d+) / BSS (\\d+) bytes\\. Total (\\d+) bytes$");
    const QRegularExpressionMatch match = pattern.match(report);
    QList<uint> sizes;
    for (int i = 1; match.hasMatch() && i <= 4; ++i)
        sizes.append(match.captured(i).toUInt());
    return sizes;
}

// The end of the last section of an image, walking its section headers.
int imageEnd(const QByteArray& image)
{
    const auto u16 = [&](int at) { return int(quint8(image.at(at))) | int(quint8(image.at(at + 1))) << 8; };
    int end = 12 + u16(10);
    while (end + 4 <= image.size())
        end += 4 + u16(end + 2);
    return end;
}

QByteArray le16(int value)
{
    return QByteArray(1, char(value & 0xFF)) + char(value >> 8);
}

// An image of `code` bytes of code section body, followed by `rest`.
QByteArray image(int code, const QByteArray& rest)
{
    return QByteArray(8, '\x11') + "BC" + le16(code) + QByteArray(code, '\x22') + rest;
}

// Copies the tests' fixture package in as "fixture.kbsp", the project's package.
bool addFixturePackage(ProjectFolder& folder)
{
    QFile fixture(KOLM_TEST_PACKAGE_DIR "/fixture.kbsp");
    if (!fixture.open(QIODevice::ReadOnly))
        return false;
    folder.write("fixture.kbsp", fixture.readAll());
    folder.json().insert("bsp", "fixture.kbsp");
    return true;
}

} // namespace

class ProjectBuildTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

private slots:
    void warningsBeforeCompiling_data();
    void warningsBeforeCompiling();
    void missingOutputDirectoriesAreCreated();
    void optimizeEntry_data();
    void optimizeEntry();
    void firstDefinitionWins_data();
    void firstDefinitionWins();
    void missingMainFile();
    void noMainDeletesOutputAndClearsMark();
    void warningsArriveAsInformationThenReport();
    void memoryLimits_data();
    void memoryLimits();
    void overflowClearsMark_data();
    void overflowClearsMark();
    void outputNamingOwnFileRefused_data();
    void outputNamingOwnFileRefused();
    void secondBuildKeepsMark();
    void buildSavesTheEditorFirst();
    void uploadablePart_data();
    void uploadablePart();
    void nameFallsBackToFileName();
    void outputNamingDirectory();
    void levelOneCodeEndingInFold();
    void pageDeletedInsideBuildBox();
};

void ProjectBuildTest::warningsBeforeCompiling_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("text");
    QTest::newRow("no project") << "none" << "No active project";
    QTest::newRow("output empty") << "empty" << "Project output location is not set";
    QTest::newRow("output directory blocked by a file") << "blocked" << "Cannot create output directory %1";
}

void ProjectBuildTest::warningsBeforeCompiling()
{
    QFETCH(QString, situation);
    QFETCH(QString, text);
    Session session(kSum);
    if (situation == "empty")
        session.folder.json()["output"] = "";
    if (situation == "blocked") {
        session.folder.write("blocker", "not a directory");
        session.folder.json()["output"] = "blocker/deeper/demo.kcs";
        text = text.arg(session.folder.path("blocker/deeper"));
    }
    if (situation != "none")
        QVERIFY(session.open());
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QCOMPARE(session.build(), QStringList{"compilationFinished: false"});
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Compiler"));
    QCOMPARE(modal.seen()[0].text, text);
    QVERIFY(!QFileInfo::exists(session.output()));
}

void ProjectBuildTest::missingOutputDirectoriesAreCreated()
{
    Session session(kSum);
    session.folder.json()["output"] = "a/b/c/demo.kcs";
    QVERIFY(session.open());
    QCOMPARE(session.build().last(), QString("compilationFinished: true"));
    QVERIFY(QFileInfo(session.folder.path("a/b/c/demo.kcs")).isFile());
    QCOMPARE(session.page.output(), session.folder.path("a/b/c/demo.kcs"));
}

void ProjectBuildTest::optimizeEntry_data()
{
    QTest::addColumn<QJsonValue>("optimize");
    QTest::addColumn<bool>("on");
    QTest::newRow("absent") << QJsonValue() << false;
    QTest::newRow("string 1") << QJsonValue("1") << true;
    QTest::newRow("number 1") << QJsonValue(1) << true;
    QTest::newRow("boolean true") << QJsonValue(true) << false;
    QTest::newRow("string 0") << QJsonValue("0") << false;
}

void ProjectBuildTest::optimizeEntry()
{
    QFETCH(QJsonValue, optimize);
    QFETCH(bool, on);
    // Constant folding at level 1 shortens the code of this script.
    const QByteArray script = returning("2 * 3 + 4 * 5 - 1");
    uint plain = 0;
    {
        Session reference(script);
        QVERIFY(reference.open());
        plain = reportedSizes(reference.build().value(0)).value(0);
        QVERIFY(plain > 0);
    }
    Session session(script);
    if (!optimize.isUndefined())
        session.folder.json()["optimize"] = optimize;
    QVERIFY(session.open());
    const uint text = reportedSizes(session.build().value(0)).value(0);
    QVERIFY(text > 0);
    QCOMPARE(text < plain, on);
    QCOMPARE(runImage(session.output()), std::string("Return value: 25\n"));
}

void ProjectBuildTest::firstDefinitionWins_data()
{
    QTest::addColumn<QStringList>("defines");
    QTest::addColumn<bool>("package");
    QTest::addColumn<QByteArray>("expression");
    QTest::addColumn<int>("value");
    QTest::newRow("predefined over project") << QStringList{"__KOLM__=7"} << false << QByteArray("__KOLM__") << 1;
    QTest::newRow("first of two project defines") << QStringList{"X=3", "X=4"} << false << QByteArray("X") << 3;
    QTest::newRow("project over package") << QStringList{"LED=9"} << true << QByteArray("LED") << 9;
    QTest::newRow("package alone") << QStringList{} << true << QByteArray("LED") << 5;
    QTest::newRow("project over __ABI__") << QStringList{"__ABI__=9"} << true << QByteArray("__ABI__") << 9;
    QTest::newRow("__ABI__ of the package") << QStringList{} << true << QByteArray("__ABI__") << 4;
}

void ProjectBuildTest::firstDefinitionWins()
{
    QFETCH(QStringList, defines);
    QFETCH(bool, package);
    QFETCH(QByteArray, expression);
    QFETCH(int, value);
    Session session(returning(expression));
    session.folder.json()["defines"] = QJsonArray::fromStringList(defines);
    if (package)
        QVERIFY(addFixturePackage(session.folder));
    QVERIFY(session.open());
    QCOMPARE(session.build().last(), QString("compilationFinished: true"));
    QCOMPARE(runImage(session.output()), "Return value: " + std::to_string(value) + "\n");
}

void ProjectBuildTest::missingMainFile()
{
    Session session(kSum);
    QVERIFY(session.open());
    session.folder.write("out/demo.kcs", "old image");
    QVERIFY(QFile::remove(session.folder.path("main.kos")));
    const QStringList events = session.build();
    QCOMPARE(events.size(), 2);
    QVERIFY2(events[0].startsWith("error: kcc: error: ") && events[0].endsWith("main.kos: No such file or directory"),
             qPrintable(events[0]));
    QCOMPARE(events[1], QString("compilationFinished: false"));
    QCOMPARE(session.folder.read("out/demo.kcs"), QByteArray("old image"));
}

void ProjectBuildTest::noMainDeletesOutputAndClearsMark()
{
    Session session(kSum);
    QVERIFY(session.open());
    session.build();
    QVERIFY(session.page.compiled());
    session.folder.write("main.kos", QByteArray(kUnused).replace("main", "helper"));
    const QStringList events = session.build();
    // The unused variable's warning, as errors of a failed build, then the
    // generator's message.
    QCOMPARE(events.size(), 5);
    QVERIFY2(events[0].startsWith("error: kcc: warning: ") && events[0].contains("unused variable"),
             qPrintable(events[0]));
    QVERIFY2(events[1].startsWith("error: kcc: warning: ") && events[1].endsWith("here"), qPrintable(events[1]));
    QCOMPARE(events.mid(2), (QStringList{"error: undefined reference to 'main'", "compiledChanged: false",
                                         "compilationFinished: false"}));
    QVERIFY(!QFileInfo::exists(session.output()));
    QVERIFY(!session.page.compiled());
}

void ProjectBuildTest::warningsArriveAsInformationThenReport()
{
    Session session(kUnused);
    QVERIFY(session.open());
    const QStringList events = session.build();
    QCOMPARE(events.size(), 5);
    QVERIFY2(events[0].startsWith("information: kcc: warning: ") && events[0].contains("unused variable"),
             qPrintable(events[0]));
    QVERIFY2(events[1].startsWith("information: kcc: warning: ") && events[1].endsWith("here"),
             qPrintable(events[1]));
    QVERIFY(!events[0].contains('\033'));
    QVERIFY(events[2].startsWith("information: Compilation finished. "));
    QCOMPARE(events.mid(3), (QStringList{"compiledChanged: true", "compilationFinished: true"}));
}

void ProjectBuildTest::memoryLimits_data()
{
    // Limits relative to the script's own sizes: the size plus the delta,
    // or no limit.
    QTest::addColumn<int>("ramDelta");
    QTest::addColumn<int>("flashDelta");
    QTest::addColumn<QStringList>("expected"); // %1 ram, %2 flash, %3 bss, %4 total, %5 text, %6 data
    QTest::newRow("no limits") << kNoLimit << kNoLimit
                               << QStringList{"information: Compilation finished. Text %5 / Data %6 / BSS %3 bytes. "
                                              "Total %4 bytes",
                                              "compiledChanged: true", "compilationFinished: true"};
    QTest::newRow("exact fit") << 0 << 0
                               << QStringList{"information: Compilation finished. Text %5 / Data %6 / BSS %3 (of %1) "
                                              "bytes. Total %4 (of %2) bytes",
                                              "compiledChanged: true", "compilationFinished: true"};
    QTest::newRow("flash one byte short")
        << kNoLimit << -1
        << QStringList{"error: Binary file will not fit in region `FLASH' (overflowed %2 by 1 bytes)",
                       "compilationFinished: false"};
    QTest::newRow("ram one byte short")
        << -1 << kNoLimit
        << QStringList{"error: Section `.bss' will not fit in region `RAM' (overflowed %1 by 1 bytes)",
                       "compilationFinished: false"};
    QTest::newRow("both short, RAM first")
        << -3 << -2
        << QStringList{"error: Section `.bss' will not fit in region `RAM' (overflowed %1 by 3 bytes)",
                       "error: Binary file will not fit in region `FLASH' (overflowed %2 by 2 bytes)",
                       "compilationFinished: false"};
}

void ProjectBuildTest::memoryLimits()
{
    QFETCH(int, ramDelta);
    QFETCH(int, flashDelta);
    QFETCH(QStringList, expected);
    Session session(kGlobal);
    QVERIFY(session.open());
    const QList<uint> sizes = reportedSizes(session.build().value(0));
    QCOMPARE(sizes.size(), 4);
    const uint text = sizes[0], data = sizes[1], bss = sizes[2], total = sizes[3];
    QCOMPARE(bss, 4u);
    QCOMPARE(data, 0u);
    QCOMPARE(total, 36 + text);
    QCOMPARE(uint(session.page.outputBin().size()), total);

    // A second build from a fresh page, so the compiled mark starts clear.
    Session limited(kGlobal);
    QVERIFY(limited.open());
    limited.page.ramLimit = ramDelta == kNoLimit ? 0 : uint(int(bss) + ramDelta);
    limited.page.flashLimit = flashDelta == kNoLimit ? 0 : uint(int(total) + flashDelta);
    QStringList want;
    for (const QString& line : expected)
        want.append(QString(line)
                        .replace("%1", QString::number(limited.page.ramLimit))
                        .replace("%2", QString::number(limited.page.flashLimit))
                        .replace("%3", QString::number(bss))
                        .replace("%4", QString::number(total))
                        .replace("%5", QString::number(text))
                        .replace("%6", QString::number(data)));
    QCOMPARE(limited.build(), want);
    // An overflow keeps the image on disk; the mark stays clear.
    QVERIFY(QFileInfo(limited.output()).isFile());
    QCOMPARE(limited.page.compiled(), want.last() == "compilationFinished: true");
}

void ProjectBuildTest::overflowClearsMark_data()
{
    // The limits of a connected device after a good build without any.
    QTest::addColumn<uint>("ramLimit");
    QTest::addColumn<uint>("flashLimit");
    QTest::addColumn<bool>("fits");
    QTest::newRow("RAM overflow") << 1u << 0u << false;
    QTest::newRow("FLASH overflow") << 0u << 10u << false;
    QTest::newRow("limits that the image fits") << 4096u << 30720u << true;
}

void ProjectBuildTest::overflowClearsMark()
{
    QFETCH(uint, ramLimit);
    QFETCH(uint, flashLimit);
    QFETCH(bool, fits);
    Session session(kGlobal);
    QVERIFY(session.open());
    QVERIFY(session.build().contains("compiledChanged: true"));
    QVERIFY(session.page.compiled());

    // The image was checked against no device: new limits make it unbuilt.
    session.page.ramLimit = ramLimit;
    session.page.flashLimit = flashLimit;
    QVERIFY(!session.page.compiled());
    const QStringList events = session.build();
    QCOMPARE(events.last(), QString(fits ? "compilationFinished: true" : "compilationFinished: false"));
    QCOMPARE(session.page.compiled(), fits);
    QCOMPARE(events.contains("compiledChanged: false"), !fits);
    // The overflowing image stays on disk but counts as built nowhere, also
    // once the device has gone.
    QVERIFY(QFileInfo(session.output()).isFile());
    session.page.ramLimit = 0;
    session.page.flashLimit = 0;
    QVERIFY(!session.page.compiled());
}

void ProjectBuildTest::outputNamingOwnFileRefused_data()
{
    QTest::addColumn<QString>("output"); // the "output" entry
    QTest::addColumn<QString>("file");   // the project's file it names
    QTest::newRow("project file") << "demo.kcpro" << "demo.kcpro";
    QTest::newRow("main script") << "main.kos" << "main.kos";
    QTest::newRow("another project file") << "other.kos" << "other.kos";
    QTest::newRow("main script by a detour") << "out/../main.kos" << "main.kos";
    QTest::newRow("board package") << "fixture.kbsp" << "fixture.kbsp";
}

void ProjectBuildTest::outputNamingOwnFileRefused()
{
    QFETCH(QString, output);
    QFETCH(QString, file);
    Session session(kSum);
    session.folder.addFile("other.kos");
    session.folder.write("other.kos", kGlobal);
    QVERIFY(addFixturePackage(session.folder));
    session.folder.json().insert("output", output);
    QVERIFY(session.open());
    const QStringList names{"demo.kcpro", "main.kos", "other.kos", "fixture.kbsp"};
    QList<QByteArray> before;
    for (const QString& name : names)
        before.append(session.folder.read(name));

    ModalDriver modal;
    QCOMPARE(session.build(), (QStringList{"error: The output " + session.folder.path(file)
                                               + " is one of the project's own files; choose another output file",
                                           "compilationFinished: false"}));
    QCOMPARE(modal.seen().size(), 0);
    for (int i = 0; i < names.size(); ++i)
        QVERIFY2(session.folder.read(names[i]) == before[i], qPrintable(names[i]));
    QVERIFY(!session.page.compiled());
}

void ProjectBuildTest::secondBuildKeepsMark()
{
    Session session(kSum);
    QVERIFY(session.open());
    QVERIFY(session.build().contains("compiledChanged: true"));
    QCOMPARE(session.build().size(), 2); // report and finished, no compiledChanged
    QVERIFY(session.page.compiled());
}

void ProjectBuildTest::buildSavesTheEditorFirst()
{
    Session session(returning("1"));
    QVERIFY(session.open());
    auto* editor = session.page.findChild<QTextEdit*>("codeEditor");
    editor->selectAll();
    editor->insertPlainText(QString::fromUtf8(returning("42")));
    QVERIFY(session.page.modified());
    QCOMPARE(session.build().last(), QString("compilationFinished: true"));
    QCOMPARE(session.folder.read("main.kos"), returning("42"));
    QVERIFY(!editor->document()->isModified());
    QCOMPARE(runImage(session.output()), std::string("Return value: 42\n"));

    // The first edit after the build clears the mark.
    QTest::keyClick(editor, Qt::Key_Space);
    QVERIFY(!session.page.compiled());
    QCOMPARE(session.log.of("compiledChanged").last(), QString("false"));
}

void ProjectBuildTest::uploadablePart_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("size");
    const QByteArray tail = "TS" + le16(4) + "abcd";
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("36 bytes") << QByteArray(36, '\0') << 36;
    QTest::newRow("ends right after the code") << image(30, "") << 42;
    QTest::newRow("one byte after the code") << image(30, "D") << 43;
    QTest::newRow("no data section") << image(30, tail) << 42;
    QTest::newRow("data section") << image(30, "DT" + le16(3) + "xyz" + tail) << 42 + 4 + 3;
    QTest::newRow("data section longer than the file") << image(30, "DT" + le16(300) + "xyz") << 42 + 4 + 3;
    QTest::newRow("data length cut after one byte") << image(30, "DT" + QByteArray(1, '\x01')) << 42 + 3;
}

void ProjectBuildTest::uploadablePart()
{
    QFETCH(QByteArray, image);
    QFETCH(int, size);
    QCOMPARE(KolmProjectWindow::uploadablePart(image), image.left(size));
}

void ProjectBuildTest::nameFallsBackToFileName()
{
    Session session(kSum);
    QCOMPARE(session.page.name(), QString());
    session.folder.json().remove("name");
    QVERIFY(session.open());
    QCOMPARE(session.page.name(), QString("demo"));
    QVERIFY(!session.page.modified());
    session.page.project()->setName("Blink");
    QCOMPARE(session.page.name(), QString("Blink"));
    // The project's own edit counts as modified too.
    QVERIFY(session.page.modified());
}

void ProjectBuildTest::outputNamingDirectory()
{
    Session session(kUnused);
    QVERIFY(QDir().mkpath(session.output()));
    QVERIFY(session.open());
    ModalDriver modal;
    QStringList insideBox;
    modal.then([&](QWidget* box) {
        session.page.compile();
        insideBox = session.log.events;
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    const QStringList events = session.build();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].text, "Cannot write to " + session.output());
    QCOMPARE(insideBox, QStringList{"compilationFinished: false"});
    QCOMPARE(events.size(), 4);
    QCOMPARE(events[0], QString("compilationFinished: false"));
    QVERIFY2(events[1].startsWith("error: kcc: warning: "), qPrintable(events[1]));
    QVERIFY2(events[2].startsWith("error: kcc: warning: "), qPrintable(events[2]));
    QCOMPARE(events[3], QString("compilationFinished: false"));
    QVERIFY(QFileInfo(session.output()).isDir());
    QVERIFY(!session.page.compiled());
}

void ProjectBuildTest::levelOneCodeEndingInFold()
{
    // The last statement pushes a constant argument, which the generator
    // folds into the push it has just written.
    Session session("var f(var a)\n{\n    return a;\n}\nvar main()\n{\n    return f(5);\n}\n");
    session.folder.json()["optimize"] = "1";
    QVERIFY(session.open());
    QCOMPARE(session.build().last(), QString("compilationFinished: true"));
    const QByteArray image = session.folder.read("out/demo.kcs");
    QCOMPARE(imageEnd(image), image.size());
    QCOMPARE(session.page.outputElf(), image);
    QCOMPARE(runImage(session.output()), std::string("Return value: 5\n"));
}

void ProjectBuildTest::pageDeletedInsideBuildBox()
{
    ProjectFolder folder;
    folder.write("main.kos", kUnused);
    QVERIFY(QDir().mkpath(folder.path("out/demo.kcs")));
    QPointer<KolmProjectWindow> page = new KolmProjectWindow;
    QVERIFY(page->setProject(folder.load()));
    int finished = 0;
    connect(page, &KolmProjectWindow::compilationFinished, [&] { ++finished; });
    ModalDriver modal;
    modal.then([&](QWidget*) { delete page; });
    page->compile();
    QVERIFY(!page);
    QCOMPARE(finished, 0);
    // The diagnostics went back to standard error with the build's end: a
    // stale routing into the build's stream would be a use after scope.
    console_output("kcc", "note", "", "diagnostics after the build\n");
}

QTEST_MAIN(ProjectBuildTest)
#include "project_build_test.moc"
