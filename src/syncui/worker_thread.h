// CWorkerThread: a piece of work on a thread of its own, so that the window
// is never held up by the network.  The work may watch the cancel flag;
// finished() arrives on the thread that started it, once the work's thread
// is gone.  A worker destroyed while its work runs asks it to stop and waits
// for its end, so the work may use its owner's members to the last.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>

class QThread;

namespace syncui {

class CWorkerThread : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~CWorkerThread() override;

    // Runs `work` with the cancel flag cleared, unless a work still runs.
    void Start(std::function<void()> work);
    bool IsRunning() const { return m_pThread != nullptr; }
    void Cancel() { m_cancel = true; }
    bool IsCancelled() const { return m_cancel.load(); }
    // The flag that Cancel() sets, for the work to watch.
    std::atomic<bool>* CancelFlag() { return &m_cancel; }

signals:
    void finished();

private:
    QThread* m_pThread = nullptr;  // while the work runs
    std::atomic<bool> m_cancel{false};
};

}  // namespace syncui
