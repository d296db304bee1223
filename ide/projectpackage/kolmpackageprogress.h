#pragma once

#include <QtGlobal>

#include <atomic>

// How far a running export or import has come, and the request to stop it.
// The worker thread adds what it has done; the GUI thread reads it for the
// progress dialog and may ask the worker to stop. The units are bytes, plus
// one for each entry so that empty files move the bar as well.
class KolmPackageProgress
{
public:
    virtual ~KolmPackageProgress() = default;

    void setTotal(qint64 total) { m_total = total; }
    qint64 total() const { return m_total; }
    // Called by the worker after each piece of work.
    virtual void add(qint64 done) { m_done += done; }
    qint64 done() const { return m_done; }

    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

private:
    std::atomic<qint64> m_total{0};
    std::atomic<qint64> m_done{0};
    std::atomic<bool> m_cancelled{false};
};
