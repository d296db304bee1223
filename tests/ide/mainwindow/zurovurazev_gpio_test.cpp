// The main window's GPIO Helper action and the box with the device's
// configuration information: which projects the helper serves, the
// statement it inserts at the editor's cursor (and that the statement
// builds against the board package), a cancelled helper, and the window
// closed or deleted while the helper or the box is open.

#include "zurovurazev.h"

#include "form_child.h"
#include "ide_resources.h"
#include "kolmprojectwindow.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "ui_zurovurazev.h"
#include "window_session.h"
#include "zugpiosetuphelper.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QByteArray Script = "var main() {\n    return 0;\n}\n";

QTextEdit *editor(KolmProjectWindow *page)
{
    return formChild<QTextEdit>(*page, QStringLiteral("codeEditor"));
}

} // namespace

class ZuROVUrazevGpioTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void helperWithoutProject();
    void helperRefusedForOtherBoards_data();
    void helperRefusedForOtherBoards();
    void helperInsertsStatement_data();
    void helperInsertsStatement();
    void cancelledHelperChangesNothing();
    void windowGoesWhileHelperOpen_data();
    void windowGoesWhileHelperOpen();

    void configInfoBox();
    void windowGoesWhileConfigInfoOpen_data();
    void windowGoesWhileConfigInfoOpen();

private:
    ZuROVUrazev *makeWindow() { return m_session->make(); }
    // A window with folder's project open, its board package `bsp` a copy
    // of the built-in STM32F0 package when its name begins so, else of the
    // emulator's.
    ZuROVUrazev *windowWithBoard(ProjectFolder &folder, const QString &bsp)
    {
        folder.write("main.kos", Script);
        if (!bsp.isEmpty())
            folder.json().insert("bsp", bsp);
        const bool stm32 = QFileInfo(bsp).fileName().startsWith(QLatin1String("STM32F0"));
        if (!bsp.isEmpty())
            folder.write(bsp, readBytes(stm32 ? QStringLiteral(":/data/bsp/STM32F0.kbsp")
                                              : QStringLiteral(":/data/bsp/Emulator.kbsp")));
        delete folder.load();
        ZuROVUrazev *w = makeWindow();
        w->code_open(folder.path("demo.kcpro"));
        return w;
    }
    static KolmProjectWindow *page(ZuROVUrazev *w) { return w->ui->projectPage; }
    static QAction *helperAction(ZuROVUrazev *w) { return w->ui->actionGPIO_Helper; }

    std::unique_ptr<WindowSession> m_session;
};

void ZuROVUrazevGpioTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevGpioTest::init()
{
    m_session = std::make_unique<WindowSession>();
}

void ZuROVUrazevGpioTest::cleanup()
{
    m_session.reset();
}

void ZuROVUrazevGpioTest::helperWithoutProject()
{
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    helperAction(w)->trigger();
    QCOMPARE(w->ui->statusbar->currentMessage(), QStringLiteral("No active project"));
    QCoreApplication::processEvents();
    QVERIFY(modal.seen().isEmpty());
}

void ZuROVUrazevGpioTest::helperRefusedForOtherBoards_data()
{
    QTest::addColumn<QString>("bsp");
    QTest::newRow("no board package") << QString();
    QTest::newRow("letter case differs") << QStringLiteral("emulator.kbsp");
    QTest::newRow("other board") << QStringLiteral("board.kbsp");
    QTest::newRow("name only begins so") << QStringLiteral("STM32F0.kbsp.old");
}

void ZuROVUrazevGpioTest::helperRefusedForOtherBoards()
{
    QFETCH(QString, bsp);
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithBoard(folder, bsp);
    QVERIFY(page(w)->project());
    const QString before = editor(page(w))->toPlainText();
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    helperAction(w)->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("GPIO Helper"));
    QCOMPARE(modal.seen().at(0).text,
             QStringLiteral("This tool can only be used with projects based on emulator or STM32F0 board support "
                            "packages"));
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(editor(page(w))->toPlainText(), before);
}

void ZuROVUrazevGpioTest::helperInsertsStatement_data()
{
    QTest::addColumn<QString>("bsp");
    QTest::newRow("emulator") << QStringLiteral("Emulator.kbsp");
    QTest::newRow("STM32F0") << QStringLiteral("STM32F0.kbsp");
    QTest::newRow("in a folder of the project") << QStringLiteral("boards/Emulator.kbsp");
}

// The device's pin map fills the helper's list; the statement for the
// chosen pin goes in at the cursor and builds against the board package.
void ZuROVUrazevGpioTest::helperInsertsStatement()
{
    QFETCH(QString, bsp);
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithBoard(folder, bsp);
    QVERIFY(page(w)->project());
    w->device.gpioMap = {{QStringLiteral("LED"), QStringLiteral("PA5")}, {QStringLiteral("KEY"), QStringLiteral("PB1")}};
    QTextEdit *text = editor(page(w));
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(QByteArray("var main() {\n").size());
    text->setTextCursor(cursor);

    QStringList items;
    QString composed;
    ModalDriver modal;
    modal.then([&](QWidget *window) {
        auto *dialog = qobject_cast<ZuGPIOSetupHelper *>(window);
        QVERIFY(dialog);
        auto *pins = formChild<QComboBox>(*dialog, QStringLiteral("pinEdit"));
        for (int i = 0; i < pins->count(); ++i)
            items << pins->itemText(i);
        pins->setCurrentIndex(pins->findData(QStringLiteral("PA5")));
        formChild<QRadioButton>(*dialog, QStringLiteral("gpioTypeOutput"))->setChecked(true);
        composed = dialog->getString();
        formChild<QDialogButtonBox>(*dialog, QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
    });
    helperAction(w)->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("GPIO Setup"));
    QCOMPARE(items, (QStringList{QStringLiteral("KEY (at PB1)"), QStringLiteral("LED (at PA5)")}));
    QVERIFY2(composed.startsWith(QStringLiteral("PA5.MODE = GPIO_MODE_OUTPUT")), qPrintable(composed));
    QCOMPARE(text->toPlainText(), QString::fromUtf8("var main() {\n") + composed + "    return 0;\n}\n");

    QVERIFY(page(w)->saveChanges());
    w->ui->actionBuild->trigger();
    QVERIFY(page(w)->compiled());
}

void ZuROVUrazevGpioTest::cancelledHelperChangesNothing()
{
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithBoard(folder, QStringLiteral("Emulator.kbsp"));
    QTextEdit *text = editor(page(w));
    ModalDriver modal;
    modal.then([](QWidget *window) {
        formChild<QRadioButton>(*window, QStringLiteral("gpioTypeADC"))->setChecked(true);
        static_cast<QDialog *>(window)->reject();
    });
    helperAction(w)->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(text->toPlainText(), QString::fromUtf8(Script));
    QVERIFY(!text->document()->isModified());
    QVERIFY(!page(w)->modified());
}

void ZuROVUrazevGpioTest::windowGoesWhileHelperOpen_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("closed") << false;
    QTest::newRow("deleted") << true;
}

void ZuROVUrazevGpioTest::windowGoesWhileHelperOpen()
{
    QFETCH(bool, deleted);
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithBoard(folder, QStringLiteral("Emulator.kbsp"));
    QTextEdit *text = editor(page(w));
    ModalDriver modal;
    modal.then([w, deleted](QWidget *window) {
        formChild<QComboBox>(*window, QStringLiteral("pinEdit"))->setEditText(QStringLiteral("PA1"));
        if (deleted)
            w->deleteLater();
        else
            w->close();
        static_cast<QDialog *>(window)->accept();
    });
    helperAction(w)->trigger();
    QCOMPARE(modal.seen().size(), 1);
    if (deleted) {
        QTRY_VERIFY(!m_session->window);
        return;
    }
    QVERIFY(!w->isVisible());
    // The accepted helper still inserts into the page, which stays.
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("PA1.MODE = GPIO_MODE_INPUT;")));
}

void ZuROVUrazevGpioTest::configInfoBox()
{
    ZuROVUrazev *w = makeWindow();
    const QString info =
        QStringLiteral("<ul><li>MCU Family: STM32F0</li><li>Radio chip: CC1101</li><li>Supported Language: Kolm</li></ul>");
    w->device.configInfo = info;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    ModalDriver modal;
    modal.then([&](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        QVERIFY(box);
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    w->displayCfgInfo();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("Device Auxiliary Info"));
    QCOMPARE(modal.seen().at(0).text, info);
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void ZuROVUrazevGpioTest::windowGoesWhileConfigInfoOpen_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("closed") << false;
    QTest::newRow("deleted") << true;
}

void ZuROVUrazevGpioTest::windowGoesWhileConfigInfoOpen()
{
    QFETCH(bool, deleted);
    ZuROVUrazev *w = makeWindow();
    w->device.configInfo = QStringLiteral("<ul><li>MCU Family: STM32F0</li></ul>");
    ModalDriver modal;
    // A direct delete: the box goes with its window.
    modal.then([w, deleted](QWidget *window) {
        if (deleted)
            delete w;
        else
            w->close();
        if (!deleted)
            window->close();
    });
    w->displayCfgInfo();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(bool(m_session->window), !deleted);
}

QTEST_MAIN(ZuROVUrazevGpioTest)
#include "zurovurazev_gpio_test.moc"
