// CSyncJob: one sync (carddav::RunSync) on a worker thread, so that the
// window stays responsive while the network works.  Its progress and its
// end arrive as signals on the thread that made the job; the changes to the
// list are made there, afterwards, by the caller.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>

#include "carddav/sync_run.h"

class QThread;

namespace syncui {

class CSyncJob : public QObject {
    Q_OBJECT

public:
    explicit CSyncJob(carddav::SyncRequest request, QObject* parent = nullptr);
    // Cancels a sync still running and waits for its end.
    ~CSyncJob() override;

    void Start();
    // Asks the sync to stop; it ends soon, keeping what it did.
    void Cancel();
    bool IsRunning() const { return m_pThread != nullptr; }
    bool IsCancelled() const { return m_cancel.load(); }
    // Valid once finished() came.
    carddav::SyncOutcome& Outcome() { return m_outcome; }

signals:
    // At most every kProgressMs, and at each new phase.
    void progress(int phase, qulonglong done, qulonglong total);
    void finished();

private:
    static constexpr qint64 kProgressMs = 100;

    carddav::SyncRequest m_request;
    carddav::SyncOutcome m_outcome;
    std::atomic<bool> m_cancel{false};
    QThread* m_pThread = nullptr;  // while the sync runs
    // Used by the worker thread only.
    QElapsedTimer m_lastProgress;
    int m_nLastPhase = -1;
};

}  // namespace syncui
