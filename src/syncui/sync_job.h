// CSyncJob: one sync (carddav::RunSync) on a worker thread, so that the
// window stays responsive while the network works.  Its progress and its
// end arrive as signals on the thread that made the job; the changes to the
// list are made there, afterwards, by the caller.  A job destroyed while its
// sync runs cancels it and waits for its end.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "carddav/sync_run.h"
#include "syncui/worker_thread.h"

namespace syncui {

class CSyncJob : public QObject {
    Q_OBJECT

public:
    explicit CSyncJob(carddav::SyncRequest request, QObject* parent = nullptr);

    void Start();
    // Asks the sync to stop; it ends soon, keeping what it did.
    void Cancel() { m_worker.Cancel(); }
    bool IsRunning() const { return m_worker.IsRunning(); }
    bool IsCancelled() const { return m_worker.IsCancelled(); }
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
    // Used by the worker thread only.
    QElapsedTimer m_lastProgress;
    int m_nLastPhase = -1;
    // Last, so that it ends the sync before the members above go.
    CWorkerThread m_worker;
};

}  // namespace syncui
