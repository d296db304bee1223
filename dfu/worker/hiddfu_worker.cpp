#include "hiddfu_worker.h"

#include "dfu_status.h"
#include "hidproxy.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>

#include <cmath>

hiddfu_worker::hiddfu_worker(QObject *parent)
    : QObject(parent)
{
    // The slots are invoked by name across threads; "void*" is known already.
    qRegisterMetaType<QFile *>("QFile*");
}

void hiddfu_worker::abort()
{
    m_abort = true;
}

bool hiddfu_worker::abortArrived()
{
    // Only the queued calls to this worker: nothing else runs meanwhile.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return aborted();
}

bool hiddfu_worker::readImage(QFile *file, qint64 pos, qint64 count, QByteArray *bytes)
{
    bytes->clear();
    if (file->seek(pos))
        *bytes = file->read(count);
    if (file->error() != QFileDevice::NoError) {
        conclude(FileReadError, file->errorString());
        return false;
    }
    if (bytes->size() != count) {
        conclude(FileReadError, tr("the file is shorter than when flashing began"));
        return false;
    }
    return true;
}

void hiddfu_worker::conclude(Result code, const QVariant &param)
{
    Q_ASSERT(code != LogLine);
    releaseHandle();
    emit error(code, param);
    emit finished(code == Done);
}

void hiddfu_worker::concludeAborted()
{
    releaseHandle();
    emit finished(false);
}

void hiddfu_worker::log(const QString &line)
{
    emit error(LogLine, line);
}

void hiddfu_worker::releaseHandle()
{
}

hiddfu_worker::Wait hiddfu_worker::awaitIdle(const std::function<bool(DFUStatus *)> &readStatus,
                                             DFUStatus &status, uint8_t busyFlag, int pauseMs, bool tick)
{
    for (;;) {
        HIDProxy::qSleep(pauseMs);
        if (tick)
            emit progress(BusyTick);
        if (aborted())
            return Wait::Aborted;
        if (!readStatus(&status))
            return Wait::StatusFailed;
        if (status.error != 0)
            return Wait::BootloaderError;
        if (!(status.flags & busyFlag))
            return Wait::Idle;
    }
}

int hiddfu_worker::percent(qint64 written, qint64 total)
{
    if (total <= 0)
        return 100;
    return int(std::lround(double(written) * 100.0 / double(total)));
}

QString hiddfu_worker::flashingError(int percent, uint8_t code)
{
    return QStringLiteral("flashing at %1. internal error %2").arg(percent).arg(dfu_error_string(code));
}
