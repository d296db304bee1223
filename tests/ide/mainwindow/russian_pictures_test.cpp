// The interface in Russian as `kolmide --lang ru_RU` shows it, with Qt's own
// catalogue beside the program's: the main window on a project, connected
// to its local emulator (Device page, status bar, log lines, a device error
// box), its debugger, console and chat pages, the preferences, new project
// and project configuration dialogs and the firmware updater. Every text
// shows whole; the pictures are kept in artefacts/ru/ for a person to look
// at.

#include "zurovurazev.h"

#include "clipped_texts.h"
#include "emulator_entry.h"
#include "free_port.h"
#include "hiddfu.h"
#include "ide_resources.h"
#include "kolmlocaldebugger.h"
#include "kolmprojectwindow.h"
#include "language_catalogues.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qlang.h"
#include "qfoldwidget.h"
#include "qmaterialfont.h"
#include "temp_settings.h"
#include "titleroomstyle.h"
#include "ui_zurovurazev.h"
#include "v1_cc1101_v1.h"
#include "zuplcconfigv1widget.h"

#include <QDir>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include <memory>

namespace {

// Generous bounds for a loaded machine: the emulator, the disassembler and
// the window run under sanitizers beside other builds.
constexpr int StartMs = 30000;

const QByteArray Script = "var main()\n"
                          "{\n"
                          "    var a;\n"
                          "    a = 1;\n"
                          "    for (;;) { a = a + 1; }\n"
                          "}\n";

bool russian(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x0410 && c.unicode() <= 0x044F)
            return true;
    return false;
}

// The lines of `text` that hold no Russian word.
QStringList notRussian(const QStringList &lines)
{
    QStringList found;
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty() && !russian(line))
            found << line;
    return found;
}

} // namespace

class RussianPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void qtCatalogueInForce();
    void windowOnTheEmulator();
    void firmwareUpdater();
    void radioConfigEditor();

private:
    // Saves the picture of `widget` as artefacts/ru/<name>.png and notes
    // its clipped texts.
    void keep(QWidget &widget, const QString &name);
    QString logText();

    std::unique_ptr<TempSettings> m_settings;
    QList<QTranslator *> m_translators;
    QPointer<ZuROVUrazev> m_window;
    QStringList m_clipped;
};

void RussianPicturesTest::initTestCase()
{
    initIdeResources();
    initLanguageCatalogues();
    QMaterialIcon::instance()->setDefaultColors(false);
    // The application's style as kolmide sets it up.
    installTitleRoomStyle();
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("UI/Language"), QStringLiteral("ru_RU"));
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), freePort());
    m_translators = QLANG::installLanguage(QCoreApplication::instance(), nullptr, QStringLiteral("lang"));
    QCOMPARE(m_translators.size(), 2);
    QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR "/ru")));
}

void RussianPicturesTest::cleanupTestCase()
{
    delete m_window;
    for (QTranslator *t : m_translators) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    m_settings.reset();
}

void RussianPicturesTest::keep(QWidget &widget, const QString &name)
{
    if (!widget.grab().save(QStringLiteral(KOLM_SCREENSHOT_DIR "/ru/%1.png").arg(name)))
        m_clipped << name + QStringLiteral(": picture not saved");
    for (const QString &text : clippedTexts(widget))
        m_clipped << name + QStringLiteral(": ") + text;
}

QString RussianPicturesTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

void RussianPicturesTest::qtCatalogueInForce()
{
    // Qt's catalogue of the language is loaded with its parts (qtbase).
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
}

void RussianPicturesTest::windowOnTheEmulator()
{
    m_window = new ZuROVUrazev;
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    ProjectFolder folder;
    folder.write("main.kos", Script);
    folder.write("Emulator.kbsp", readBytes(QStringLiteral(KOLM_EMULATOR_BSP)));
    folder.json().insert("bsp", "Emulator.kbsp");
    folder.json().insert("flags", QJsonArray{"debug"});
    delete folder.load();
    m_window->code_open(folder.path("demo.kcpro"));
    QVERIFY(m_window->ui->projectPage->project());
    QVERIFY(m_window->project_waitCompiled());
    m_window->pagesel_clicked(ZuROVUrazev::T_Script);
    keep(*m_window, QStringLiteral("project_page"));

    // Connected to the emulator: the status bar and every log line in
    // Russian.
    logText();
    m_window->ui->logBrowser->clear();
    {
        QString picked;
        ModalDriver modal;
        modal.passOver(isProgressDialog);
        modal.then(pickEmulatorEntry(&picked));
        m_window->ui->actionConnect->trigger();
        QVERIFY(!picked.isEmpty());
        QVERIFY(m_window->messenger);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->state == ZuROVUrazev::CS_IDLE
                                     && m_window->device.kind == ZuROVUrazev::D_PLC
                                     && m_window->ui->progressBar->isHidden(),
                                 StartMs);
        QCOMPARE(modal.unanswered(), 0);
    }
    QVERIFY2(m_window->statusText->text().contains(QStringLiteral("Адрес: ")),
             qPrintable(m_window->statusText->text()));
    QVERIFY(logText().contains(QStringLiteral("Подключено к")));

    m_window->pagesel_clicked(ZuROVUrazev::T_Config);
    keep(*m_window, QStringLiteral("device_page"));

    // A device error box, with Qt's button.
    {
        ModalDriver modal;
        QString button;
        modal.then([&](QWidget *window) {
            keep(*window, QStringLiteral("device_error_box"));
            if (auto *box = qobject_cast<QMessageBox *>(window))
                button = box->buttons().value(0) ? box->buttons().first()->text() : QString();
            window->close();
        });
        m_window->ui->actionFirmware_Update->trigger();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Обновление прошивки"));
        QVERIFY2(russian(modal.seen().first().text), qPrintable(modal.seen().first().text));
        QVERIFY(!button.isEmpty());
    }

    // The console asks the device core; the reply shows in the status bar.
    m_window->pagesel_clicked(ZuROVUrazev::T_Messages);
    m_window->ui->msgMcCommandInput->setText(QStringLiteral("1"));
    m_window->ui->msgMcParamInput->setText(QStringLiteral("4"));
    m_window->ui->msgMcDataInput->clear();
    m_window->ui->msgMcSendButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->statusBar()->currentMessage(), QStringLiteral("Ответ получен"), StartMs);
    QVERIFY(logText().contains(QStringLiteral("Получен ответ ядра МК")));
    keep(*m_window, QStringLiteral("console_page"));

    const QStringList log = logText().split('\n');
    QVERIFY2(notRussian(log).isEmpty(), qPrintable(notRussian(log).join('\n')));
    // The chat with a message sent to every device, its bubble stating the
    // delivery.
    m_window->pagesel_clicked(ZuROVUrazev::T_Chat);
    m_window->ui->chatAdvancedGroup->unfold();
    m_window->ui->chatAddressEdit->setText(QStringLiteral("all"));
    m_window->ui->chatMsgEdit->setText(QStringLiteral("Привет"));
    m_window->ui->chatSendTool->click();
    QTRY_COMPARE(m_window->ui->chatBrowser->count(), 1);
    keep(*m_window, QStringLiteral("chat_page"));

    // The debugger stopped in the script.
    {
        ModalDriver modal;
        m_window->on_actionStart_Debugging_triggered();
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("Дизассемблирование завершено")), StartMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->state == ZuROVUrazev::CS_IDLE && m_window->ui->progressBar->isHidden(),
                                 StartMs);
        QCOMPARE(modal.seen().size(), 0);
    }
    m_window->pagesel_clicked(ZuROVUrazev::T_Debug);
    keep(*m_window, QStringLiteral("debugger_page"));

    // The dialogs, as the window opens them.
    {
        ModalDriver modal;
        modal.then([&](QWidget *window) {
            auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
            for (int i = 0; tabs && i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                keep(*window, QStringLiteral("preferences_%1").arg(i));
            }
            static_cast<QDialog *>(window)->reject();
        });
        m_window->on_actionPreferences_triggered();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Настройки KolmIDE"));
    }
    {
        ModalDriver modal;
        modal.then([&](QWidget *window) {
            keep(*window, QStringLiteral("new_project"));
            static_cast<QDialog *>(window)->reject();
        });
        m_window->on_actionNew_Script_triggered();
        QCOMPARE(modal.seen().size(), 1);
    }
    {
        ModalDriver modal;
        modal.then([&](QWidget *window) {
            auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
            for (int i = 0; tabs && i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                keep(*window, QStringLiteral("configuration_%1").arg(i));
            }
            static_cast<QDialog *>(window)->reject();
        });
        QMetaObject::invokeMethod(m_window->ui->projectPage, "showProjectOptions");
        QCOMPARE(modal.seen().size(), 1);
    }

    QVERIFY2(m_clipped.isEmpty(), qPrintable(m_clipped.join('\n')));
}

void RussianPicturesTest::firmwareUpdater()
{
    m_clipped.clear();
    ModalDriver modal;
    modal.passOver(isProgressDialog);
    QPointer<HIDDfu> window = new HIDDfu(nullptr, Qt::Widget);
    window->setTransport(QStringLiteral("usb"));
    QVERIFY(window->init());
    window->resize(400, 300);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), QStringLiteral("Обновление прошивки"));
    keep(*window, QStringLiteral("firmware_updater"));
    delete window;
    QVERIFY2(m_clipped.isEmpty(), qPrintable(m_clipped.join('\n')));
}

// The editor of the first configuration version, with its radio settings,
// which the emulator's block does not show.
void RussianPicturesTest::radioConfigEditor()
{
    m_clipped.clear();
    ZUPLCConfigV1Widget editor;
    CFG_V1::ZUC_RFPLCCONFIG block;
    block.init();
    block.Address = 0x002A;
    editor.parseConfig(block);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QCOMPARE(editor.findChild<QGroupBox *>()->title(), QStringLiteral("Параметры радио"));
    keep(editor, QStringLiteral("config_editor_v1"));
    QVERIFY2(m_clipped.isEmpty(), qPrintable(m_clipped.join('\n')));
}

QTEST_MAIN(RussianPicturesTest)
#include "russian_pictures_test.moc"
