// The contact actions of the address list: Dial Home, Work, Cellular, Pager
// and Fax (kCmdDialHome .. kCmdDialFax), Email Address 1 and 2 (kCmdEmail1,
// kCmdEmail2) and Web URL 1 and 2 (kCmdWeb1, kCmdWeb2), each on the entry
// with the keyboard focus.
//
// An empty field is asked for in the empty-item dialog (CEmptyDlg); what the
// user types there may be stored in the entry.  Addresses are opened through
// an IUrlOpener (the desktop's default handler; tests record instead), whole
// and without a shell.  Every e-mail or web action also writes the internet
// shortcut "QXLaunch.url" into the current folder first, when it can.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

#include "addressbook/address_entry.h"
#include "entries/entry_services.h"

namespace platform {
class CommandTarget;
}

namespace entries {

class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;
    // Hands `url` to its handler; false when none took it.
    virtual bool OpenUrl(const QUrl& url) = 0;
};

// The desktop's handlers (QDesktopServices::openUrl).
class DesktopUrlOpener final : public IUrlOpener {
public:
    bool OpenUrl(const QUrl& url) override;
};

inline constexpr char kMailtoPrefix[] = "mailto:";
inline constexpr char kHttpPrefix[] = "http://";
inline constexpr char kShortcutFileName[] = "QXLaunch.url";

// The name a call is made to: First Name, one blank, Last Name (the blank is
// there even when a name is empty).
QString CalledPartyName(const addressbook::CAddressEntry& entry);

// `text` unchanged when `prefix` occurs anywhere in it (exact,
// case-sensitive), else `prefix` followed by `text`.
QString BuildAddress(const QString& text, const QString& prefix);

// The contents of the internet shortcut for `address`, with CR LF line ends.
std::string ShortcutText(const QString& address);

// Writes the internet shortcut for `address` to `path`, replacing an earlier
// one.  A link, a file of another kind or a file with a second name at
// `path` is left alone (EPERM or ELOOP).  0, or the system's error number.
int WriteShortcutFile(const std::string& path, const QString& address);

// The desktop entry of the program that handles "tel:" addresses, from
// `xdg-mime query default x-scheme-handler/tel` (run without a shell); empty
// when there is none or the query cannot run.
QString QueryTelHandler();

// Phone calls, handed to the handler of "tel:" addresses.  Whether such a
// handler exists is looked up on the first call only; a missing one is
// remembered, and every later call fails at once, silently.
class CTelephony {
public:
    static constexpr int kCallFailed = -1;

    explicit CTelephony(IUrlOpener& opener, std::function<QString()> handlerQuery = QueryTelHandler)
        : m_opener(opener), m_handlerQuery(std::move(handlerQuery)) {}

    // Asks for a call to `destination`.  0 on success, kCallFailed
    // otherwise.  The application name, called party and comment are
    // accepted for the callers' sake; a "tel:" address carries only the
    // number.
    int RequestMakeCall(const QString& destination, const QString& appName,
                        const QString& calledParty, const QString& comment);

    int HandlerQueries() const { return m_nQueries; }

private:
    enum class Binding { kNotLoaded, kLoaded, kFailed };

    IUrlOpener& m_opener;
    std::function<QString()> m_handlerQuery;
    Binding m_binding = Binding::kNotLoaded;
    int m_nQueries = 0;
};

class CContactActions {
public:
    CContactActions(EntryServices services, IUrlOpener& opener, CTelephony& telephony)
        : m_services(std::move(services)), m_opener(opener), m_telephony(telephony) {}

    // Runs one of the nine commands on the focused entry.
    void OnContactCommand(int command);

    // Dials `number`, or asks for one when it is empty.  `field` and
    // `command` say where an entered number may be stored.
    void DialNumber(const QString& number, const QString& calledParty, int field, int command);
    // Opens `text` with `prefix`, or asks for it when it is empty.
    void OpenAddress(const QString& text, const QString& prefix, int field, int command);
    // Writes the shortcut file into the current folder, then opens
    // `address`; a shortcut that cannot be written is skipped silently.
    // True when a handler took the address.
    bool LaunchShortcut(const QString& address);

    void Register(platform::CommandTarget& target);

private:
    // The empty-item dialog: the text entered, or nothing (Cancel, or OK
    // with an empty box).  The check box state is remembered on OK; when it
    // is ticked the text is stored in `field` of the focused entry.
    std::optional<QString> AskForMissingItem(int field, int command);

    EntryServices m_services;
    IUrlOpener& m_opener;
    CTelephony& m_telephony;
};

}  // namespace entries
