// Application-wide services that deep layers (document, list view, import)
// need without knowing the main window: the status text of the first status
// pane and the wait cursor.  The main frame installs the status sink; until
// then, and while the application is starting, status texts go nowhere.
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
