#pragma once

#include "firmware_package.h"
#include "hiddfu_runner.h"
#include "hiddfu_worker.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>

#include <functional>
#include <memory>

// What a runner relays, in the order it arrives, with whether the
// operation was still running when each result came.
class RunnerRecorder : public QObject
{
public:
    struct Result
    {
        int code;
        QVariant param;
        bool whileBusy;
    };

    explicit RunnerRecorder(hiddfu_runner &runner)
    {
        connect(&runner, &hiddfu_runner::progress, this, [this](int value) { progress.append(value); });
        connect(&runner, &hiddfu_runner::error, this, [this, &runner](int code, const QVariant &param) {
            if (code == hiddfu_worker::LogLine) {
                logs.append(param.toString());
                return;
            }
            results.append({code, param, runner.isBusy()});
            if (onResult)
                onResult();
        });
    }

    QList<int> progress;
    QStringList logs;
    QList<Result> results;
    // Runs as each result arrives.
    std::function<void()> onResult;

    QList<int> percents() const
    {
        QList<int> values;
        for (int value : progress)
            if (value >= 0)
                values.append(value);
        return values;
    }
    int ticks() const { return int(progress.count(hiddfu_worker::BusyTick)); }
};

// A firmware package holding `image`, open and positioned at the image, as
// the package check leaves it.
inline std::unique_ptr<QTemporaryFile> openPackage(const QByteArray &image)
{
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open())
        return nullptr;
    const QByteArray bytes = firmwarePackage(0x1234, QByteArray(), image);
    if (file->write(bytes) != bytes.size() || !file->flush() || !file->seek(12))
        return nullptr;
    return file;
}
