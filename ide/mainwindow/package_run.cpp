#include "package_run.h"

#include "kolmpackageprogress.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

// The dialog shows once the work is expected to take longer than this.
constexpr int kShowAfterMs = 500;
constexpr int kRefreshMs = 100;
constexpr int kSteps = 1000;

int step(const KolmPackageProgress& progress)
{
    const qint64 total = progress.total();
    if (total <= 0)
        return 0;
    return int(qBound<qint64>(0, progress.done() * kSteps / total, kSteps - 1));
}

} // namespace

bool runPackageWork(QWidget* window, const QString& label, const std::function<bool(KolmPackageProgress*)>& work)
{
    KolmPackageProgress progress;
    bool result = false;
    std::unique_ptr<QThread> worker(QThread::create([&] { result = work(&progress); }));

    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    if (window)
        QObject::connect(window, &QObject::destroyed, &loop, [&] { progress.cancel(); });

    // Not modal: a modal dialog would run yet another event loop inside
    // every update of its bar.
    QPointer<QProgressDialog> dialog = new QProgressDialog(window);
    dialog->setLabelText(label);
    dialog->setRange(0, kSteps);
    dialog->setObjectName(QStringLiteral("packageProgress"));
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(kShowAfterMs);
    dialog->setValue(0);
    // Cancel and closing the dialog emit canceled(), Escape rejects it.
    QObject::connect(dialog, &QProgressDialog::canceled, &loop, [&] { progress.cancel(); });
    QObject::connect(dialog, &QDialog::rejected, &loop, [&] { progress.cancel(); });
    QTimer refresh;
    refresh.setInterval(kRefreshMs);
    QObject::connect(&refresh, &QTimer::timeout, &loop, [&] {
        if (!dialog)
            return;
        if (dialog->wasCanceled())
            progress.cancel();
        dialog->setValue(step(progress));
    });

    refresh.start();
    worker->start();
    loop.exec();
    // The loop also ends when the application quits: the work stops then.
    if (!worker->isFinished())
        progress.cancel();
    worker->wait();
    delete dialog.data();
    return result;
}
