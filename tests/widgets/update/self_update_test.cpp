// The self-update, run against stand-ins for "which", "zsync_curl" and
// "appimageupdate" put first on the search path. Message boxes are read and
// closed by a timer; the progress dialog's values are recorded by it too.

#include "zuupdate_unix.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QtTest>

namespace {

// Says whether a program of that name lies in its own directory, so that
// the tools of the machine play no part.
const char whichStandIn[] = "#!/bin/sh\n[ -e \"$(dirname \"$0\")/$1\" ]\n";

// Waits (at most 10 s) until the test has seen the progress so far.
const char waitForTest[] =
    "i=0; while [ ! -e \"$GO\" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n";

enum class Tool { Runs, Missing, NotExecutable };

} // namespace

Q_DECLARE_METATYPE(Tool)

class SelfUpdateTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
        m_path = qgetenv("PATH");
        connect(&m_watch, &QTimer::timeout, this, &SelfUpdateTest::watchDialogs);
        m_watch.start(20);
    }

    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        qputenv("PATH", m_dir->path().toLocal8Bit() + ":" + m_path);
        qputenv("GO", m_dir->filePath("go").toLocal8Bit());
        m_messages.clear();
        m_progress.clear();
        QVERIFY(writeProgram("which", whichStandIn));
    }

    void cleanupTestCase()
    {
        qputenv("PATH", m_path);
    }

    void update_data()
    {
        QTest::addColumn<bool>("zsync");
        QTest::addColumn<Tool>("tool");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QVariant>("appImage");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("progress");

        const QVariant image("/opt/kolm/KolmIDE-x86.AppImage");
        const QByteArray progressThen =
            QByteArray("echo \"$1\" > \"$GO.arg\"\nprintf 'Downloading #-----  45.6%%\\n'\n") + waitForTest;

        QTest::newRow("updated") << true << Tool::Runs << progressThen + "printf '#------- 100%%\\n'\nexit 0\n"
                                 << image << true
                                 << QStringList{"KolmIDE Update|Application has been updated and will now be closed."}
                                 << 45;
        QTest::newRow("error line just before the end")
            << true << Tool::Runs << progressThen + "echo 'ERROR: Disk full'\nexit 1\n" << image << false
            << QStringList{"KolmIDE Update|Error: Disk full"} << 45;
        QTest::newRow("error on the error channel")
            << true << Tool::Runs << QByteArray("echo 'ERROR: No update information found' >&2\nexit 2\n") << image
            << false << QStringList{"KolmIDE Update|Error: No update information found"} << -1;
        QTest::newRow("failure without an error line")
            << true << Tool::Runs << QByteArray("echo 'something went wrong'\nexit 1\n") << image << false
            << QStringList{} << -1;
        QTest::newRow("tool killed") << true << Tool::Runs << QByteArray("kill -9 $$\n") << image << false
                                     << QStringList{} << -1;
        QTest::newRow("zsync_curl missing")
            << false << Tool::Runs << QByteArray("exit 0\n") << image << false
            << QStringList{"KolmIDE Update|AppImage is corrupted - zsync_curl is missing.\nAboriting update"} << -1;
        QTest::newRow("update tool missing")
            << true << Tool::Missing << QByteArray() << image << false
            << QStringList{"KolmIDE Update|AppImage is corrupted - updater script is missing.\nAboriting update"}
            << -1;
        const QString noImage =
            "KolmIDE Update|AppImage is corrupted - root directory variable is not set.\nAboriting update";
        QTest::newRow("no APPIMAGE") << true << Tool::Runs << QByteArray("exit 0\n") << QVariant() << false
                                     << QStringList{noImage} << -1;
        QTest::newRow("empty APPIMAGE") << true << Tool::Runs << QByteArray("exit 0\n") << QVariant("") << false
                                        << QStringList{noImage} << -1;
        QTest::newRow("tool does not start")
            << true << Tool::NotExecutable << QByteArray("exit 0\n") << image << false
            << QStringList{"KolmIDE Update|appupdateimage process failed to start"} << -1;
    }

    void update()
    {
        QFETCH(bool, zsync);
        QFETCH(Tool, tool);
        QFETCH(QByteArray, script);
        QFETCH(QVariant, appImage);
        QFETCH(bool, result);
        QFETCH(QStringList, messages);
        QFETCH(int, progress);

        if (zsync)
            QVERIFY(writeProgram("zsync_curl", "#!/bin/sh\nexit 0\n"));
        if (tool != Tool::Missing)
            QVERIFY(writeProgram("appimageupdate", "#!/bin/sh\n" + script, tool == Tool::Runs));
        if (appImage.isValid())
            qputenv("APPIMAGE", appImage.toString().toLocal8Bit());
        else
            qunsetenv("APPIMAGE");
        m_awaitedProgress = progress;

        AppUpdater updater(QString(), nullptr);
        QCOMPARE(updater.doSelfUpdate(), result);
        QCOMPARE(m_messages, messages);
        if (progress >= 0) {
            QVERIFY2(m_progress.contains(progress), qPrintable(QString::number(progress)));
            QFile argument(m_dir->filePath("go.arg"));
            QVERIFY(argument.open(QIODevice::ReadOnly));
            QCOMPARE(argument.readAll().trimmed(), appImage.toByteArray());
        }
        qunsetenv("APPIMAGE");
    }

private:
    bool writeProgram(const QString &name, const QByteArray &text, bool executable = true)
    {
        QFile file(m_dir->filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
        file.close();
        QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        if (executable)
            permissions |= QFileDevice::ExeOwner;
        return file.setPermissions(permissions);
    }

    // Records the progress dialog's values, lets the stand-in go on once the
    // awaited value has been shown, and answers every message box.
    void watchDialogs()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            auto *dialog = qobject_cast<QProgressDialog *>(window);
            if (!dialog || !dialog->isVisible())
                continue;
            if (m_progress.isEmpty() || m_progress.last() != dialog->value())
                m_progress.append(dialog->value());
            if (m_awaitedProgress >= 0 && dialog->value() == m_awaitedProgress) {
                QFile go(m_dir->filePath("go"));
                go.open(QIODevice::WriteOnly);
            }
        }
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_messages.append(box->windowTitle() + "|" + box->text());
            box->done(QMessageBox::Ok);
        }
    }

    QByteArray m_path;
    QScopedPointer<QTemporaryDir> m_dir;
    QTimer m_watch;
    QStringList m_messages;
    QList<int> m_progress;
    int m_awaitedProgress = -1;
};

QTEST_MAIN(SelfUpdateTest)
#include "self_update_test.moc"
