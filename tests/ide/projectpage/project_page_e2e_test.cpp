// The whole road on the project page, offscreen: a script typed into the
// editor, Ctrl+B, the size report, the image run under halvane-kdb, and a
// picture of the page kept in the build tree.

#include "form_child.h"
#include "key_typing.h"
#include "page_fixture.h"
#include "temp_settings.h"

#include <QRegularExpression>
#include <QTextEdit>
#include <QtTest>

class ProjectPageEndToEndTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

private slots:
    void typeBuildRun();
};

void ProjectPageEndToEndTest::typeBuildRun()
{
    // Typed as a user would; the editor adds no brackets of its own.
    settings.set("Editor/AutoPar", false);
    const QStringList lines{"// The sum of 1 to 10.",
                            "var main()",
                            "{",
                            "    var sum = 0, i;",
                            "    for (i = 1; i <= 10; i++)",
                            "        sum += i;",
                            "    return sum;",
                            "}"};
    Session session("");
    session.folder.json()["output"] = "build/sum.kcs";
    QVERIFY(session.open());
    session.page.readSettings();
    session.page.resize(900, 420);
    session.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.page));

    auto* editor = formChild<QTextEdit>(session.page, "codeEditor");
    editor->setFocus();
    typeLines(editor, lines);
    const QString typed = lines.join('\n') + '\n';
    QCOMPARE(editor->toPlainText(), typed);
    QVERIFY(session.page.modified());

    session.log.events.clear();
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    // The build saves the script first, which the page reports as the end
    // of the modification.
    QCOMPARE(session.log.events.value(0), QString("projectModified: false"));
    const QStringList events = session.log.events.mid(1);
    QCOMPARE(events.size(), 3);
    static const QRegularExpression report(
        "^information: Compilation finished\\. Text \\d+ / Data 0 / BSS 0 bytes\\. Total (\\d+) bytes$");
    const QRegularExpressionMatch match = report.match(events[0]);
    QVERIFY2(match.hasMatch(), qPrintable(events[0]));
    QCOMPARE(events.mid(1), (QStringList{"compiledChanged: true", "compilationFinished: true"}));
    QCOMPARE(match.captured(1).toInt(), session.page.outputBin().size());
    QCOMPARE(session.folder.read("main.kos"), typed.toUtf8());
    QVERIFY(!session.page.modified());

    QCOMPARE(runImage(session.folder.path("build/sum.kcs")), std::string("Return value: 55\n"));

    editor->moveCursor(QTextCursor::Start);
    const QImage picture = session.page.grab().toImage();
    QVERIFY(!picture.isNull());
    QVERIFY(picture.save(KOLM_ARTIFACT_DIR "/project_page.png"));
}

QTEST_MAIN(ProjectPageEndToEndTest)
#include "project_page_e2e_test.moc"
