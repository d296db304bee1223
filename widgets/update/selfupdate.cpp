#include "zuupdate_unix.h"

#include "updatetooloutput.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QThread>

static const int toolStartTimeoutMs = 30000;
static const int outputPollMs = 250;

static void showUpdateMessage(const QString &text)
{
    QMessageBox::warning(nullptr, AppUpdater::tr("%1 Update").arg(QCoreApplication::applicationName()), text,
                         QMessageBox::Ok);
}

static bool onSearchPath(const QString &program)
{
    return QProcess::execute(QStringLiteral("which"), {program}) == 0;
}

bool AppUpdater::doSelfUpdate()
{
    if (!onSearchPath(QStringLiteral("zsync_curl"))) {
        showUpdateMessage(tr("AppImage is corrupted - zsync_curl is missing.\nAboriting update"));
        return false;
    }
    if (!onSearchPath(QStringLiteral("appimageupdate"))) {
        showUpdateMessage(tr("AppImage is corrupted - updater script is missing.\nAboriting update"));
        return false;
    }
    const QString image = qEnvironmentVariable("APPIMAGE");
    if (image.isEmpty()) {
        showUpdateMessage(tr("AppImage is corrupted - root directory variable is not set.\nAboriting update"));
        return false;
    }

    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral("appimageupdate"), {image}, QIODevice::ReadWrite);
    if (!tool.waitForStarted(toolStartTimeoutMs)) {
        showUpdateMessage(tr("appupdateimage process failed to start"));
        return false;
    }

    QProgressDialog progress(tr("Update progress"), QString(), 0, 100);
    progress.setWindowModality(Qt::WindowModal);
    progress.setValue(0);
    progress.show();

    UpdateToolOutput output;
    const auto readOutput = [&] {
        const QString chunk = QString::fromLatin1(tool.readAll());
        if (chunk.isEmpty())
            return;
        const int percent = output.read(chunk);
        if (percent >= 0)
            progress.setValue(percent);
    };
    while (tool.state() == QProcess::Running) {
        QThread::msleep(outputPollMs);
        QCoreApplication::processEvents();
        readOutput();
    }
    // What the tool printed just before it ended (often the reason it
    // failed) arrives together with its end.
    readOutput();
    progress.setValue(100);

    // A tool that crashed has no exit code worth reading.
    if (tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0) {
        showUpdateMessage(tr("Application has been updated and will now be closed."));
        return true;
    }
    if (!output.errorText().isEmpty())
        showUpdateMessage(tr("Error: ") + output.errorText());
    return false;
}
