#include "hiddfu_worker.h"

#include <QFile>

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
