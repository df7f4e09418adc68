// CHelpViewer: the manual in a window of its own, for desktops that have no
// program to open it with (no web browser, or none registered).
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace shell {

class CHelpViewer final : public QWidget {
    Q_OBJECT

public:
    explicit CHelpViewer(QWidget* parent = nullptr);

    // Shows the manual at `path` (an HTML file) and brings the window
    // forward.  Links inside the manual stay in the window; links to the
    // outside go to the desktop.
    void ShowManual(const QString& path);

    QTextBrowser* Browser() const { return m_pBrowser; }

private:
    QTextBrowser* m_pBrowser;
};

}  // namespace shell
