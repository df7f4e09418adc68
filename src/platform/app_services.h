// Application-wide services that deep layers (document, list view, import)
// need without knowing the main window: the status text of the first status
// pane, the progress of a long operation, and the wait cursor.  The main
// frame installs the status sinks; until then, and while the application is
// starting, status texts go nowhere.
#pragma once

#include <QCursor>
#include <QGuiApplication>
#include <functional>
#include <utility>

namespace platform {

using StatusTextSink = std::function<void(int stringId)>;

inline StatusTextSink& StatusTextSinkSlot() {
    static StatusTextSink sink;
    return sink;
}

// Installed by the application once its main window exists.
inline void SetStatusTextSink(StatusTextSink sink) {
    StatusTextSinkSlot() = std::move(sink);
}

// Puts string-table text `stringId` into the first status pane at once.
inline void ShowStatusText(int stringId) {
    if (StatusTextSinkSlot()) {
        StatusTextSinkSlot()(stringId);
    }
}

// How far a long operation has come, shown in the first status pane after
// the text of `stringId` ("Importing addresses... 40%") at once.
using StatusProgressSink = std::function<void(int stringId, int percent)>;

inline StatusProgressSink& StatusProgressSinkSlot() {
    static StatusProgressSink sink;
    return sink;
}

inline void SetStatusProgressSink(StatusProgressSink sink) {
    StatusProgressSinkSlot() = std::move(sink);
}

inline void ShowStatusProgress(int stringId, int percent) {
    if (StatusProgressSinkSlot()) {
        StatusProgressSinkSlot()(stringId, percent);
    }
}

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() {
        if (qGuiApp) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    ~WaitCursor() {
        if (qGuiApp) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
