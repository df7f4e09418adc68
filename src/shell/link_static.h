// CLinkStatic: a text label that behaves like a link in a web page.
//
// It shows its text in the link colour (the visited colour once it has been
// opened), optionally underlined, with its URL as tooltip, and opens the URL
// when clicked.  A link the desktop cannot open is handed to the default web
// browser directly; when that fails too, the control beeps and reports why.
#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace shell {

// What opening a link asks of the system; tests replace these.
struct HyperlinkHooks {
    // Asks the desktop to open `url`; true when it took the request.
    std::function<bool(const QString& url)> openUrl;
    // Runs a helper program and returns its standard output, or nothing when
    // it could not run or failed.
    std::function<std::optional<QString>(const QString& program, const QStringList& arguments)>
        runHelper;
    // The text of a desktop entry by its id ("firefox.desktop"), or nothing.
    std::function<std::optional<QString>(const QString& desktopId)> readDesktopEntry;
    // Starts a program without waiting for it and without a shell; returns
    // the result number (kOpenSucceeded, or the reason it failed).
    std::function<int(const QString& program, const QStringList& arguments)> startDetached;
};

// The hooks that use the real desktop.
HyperlinkHooks SystemHyperlinkHooks();

// Opens `url`: first through the desktop; if that fails, through the
// default web browser's own command line (found with xdg-settings, then
// xdg-mime, and its desktop entry's Exec line), cut at its placeholder with
// the URL appended as one argument.  Returns a result number: above 32 on
// success, otherwise the reason (the desktop's failure when the browser
// cannot be found).
int OpenHyperlink(const QString& url, const HyperlinkHooks& hooks);
int OpenHyperlink(const QString& url);

class CLinkStatic : public QLabel {
    Q_OBJECT

public:
    // The URL starts as `text`, so a label showing a URL needs no SetUrl.
    explicit CLinkStatic(const QString& text = QString(), QWidget* parent = nullptr);

    // Sets what a click opens, shows it as text when the text is empty, and
    // makes it the tooltip.
    void SetUrl(const QString& url);
    const QString& Url() const { return m_strUrl; }

    void SetColours(const QColor& link, const QColor& visited);
    void SetVisited(bool visited);
    void SetUnderline(bool underline);
    void SetLinkCursor(const QCursor& cursor);
    // When on, the control is kept exactly as large as its text.
    void SetAdjustToFit(bool adjust);

    const QColor& LinkColour() const { return m_linkColour; }
    const QColor& VisitedColour() const { return m_visitedColour; }
    bool IsVisited() const { return m_bVisited; }
    bool IsUnderlined() const { return m_bUnderline; }
    // The colour the text is drawn in now.
    QColor TextColour() const { return m_bVisited ? m_visitedColour : m_linkColour; }

    // Opens the URL as a click does: on success the link turns to the visited
    // colour; on failure it beeps, reports the reason and is not visited.
    void OnClicked();

    // Replaces how all links open (tests); an empty function restores the
    // real one.
    static void SetOpenerForTesting(std::function<int(const QString& url)> opener);

signals:
    // After each click, with the result number.
    void Opened(int result);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateLook();
    void FitToText();

    QColor m_linkColour{0, 0, 238};
    QColor m_visitedColour{85, 26, 139};
    bool m_bVisited = false;
    bool m_bUnderline = true;
    bool m_bAdjustToFit = true;
    bool m_bPressed = false;
    bool m_bUpdating = false;
    QString m_strUrl;
};

}  // namespace shell
