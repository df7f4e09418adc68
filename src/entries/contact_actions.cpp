#include "entries/contact_actions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cerrno>

#include "entries/empty_dlg.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "platform/command_router.h"
#include "platform/profile.h"
#include "resources/command_ids.h"

namespace entries {

using namespace addressbook;

namespace {

enum class ActionKind { kDial, kEmail, kWeb };

struct ContactCommand {
    int command;
    int field;
    ActionKind kind;
};

constexpr ContactCommand kContactCommands[] = {
    {resources::kCmdDialHome, HomePhone, ActionKind::kDial},
    {resources::kCmdDialWork, WorkPhone, ActionKind::kDial},
    {resources::kCmdDialCellular, CellPhone, ActionKind::kDial},
    {resources::kCmdDialPager, Pager, ActionKind::kDial},
    {resources::kCmdDialFax, FaxPhone, ActionKind::kDial},
    {resources::kCmdEmail1, Email1, ActionKind::kEmail},
    {resources::kCmdEmail2, Email2, ActionKind::kEmail},
    {resources::kCmdWeb1, Web1, ActionKind::kWeb},
    {resources::kCmdWeb2, Web2, ActionKind::kWeb},
};

}  // namespace

bool DesktopUrlOpener::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

QString CalledPartyName(const CAddressEntry& entry) {
    return FromUtf8(entry.GetField(FirstName)) + QLatin1Char(' ') +
           FromUtf8(entry.GetField(LastName));
}

QString BuildAddress(const QString& text, const QString& prefix) {
    return text.contains(prefix, Qt::CaseSensitive) ? text : prefix + text;
}

std::string ShortcutText(const QString& address) {
    return "[InternetShortcut]\r\nURL=" + ToUtf8(address) + "\r\n";
}

int WriteShortcutFile(const std::string& path, const QString& address) {
    // O_NOFOLLOW: a link of that name is refused, never followed to
    // overwrite the file it names.  O_NONBLOCK: a FIFO of that name cannot
    // hold the program up.  Nothing is emptied before the file is known to
    // be an ordinary file with no other name.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode) || info.st_nlink != 1) {
        error = EPERM;
    } else if (::ftruncate(fd, 0) != 0) {
        error = errno;
    }
    const std::string text = ShortcutText(address);
    std::size_t done = 0;
    while (error == 0 && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

QString QueryTelHandler() {
    QProcess process;
    process.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                               QStringLiteral("x-scheme-handler/tel")});
    if (!process.waitForStarted(3000) || !process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// ---- CTelephony ----

int CTelephony::RequestMakeCall(const QString& destination, const QString& /*appName*/,
                                const QString& /*calledParty*/, const QString& /*comment*/) {
    if (m_binding == Binding::kNotLoaded) {
        ++m_nQueries;
        m_binding = m_handlerQuery().isEmpty() ? Binding::kFailed : Binding::kLoaded;
    }
    if (m_binding != Binding::kLoaded) {
        return kCallFailed;
    }
    // The number goes whole into the path: "#", "?" and the like are
    // escaped rather than read as parts of the address.
    QUrl url;
    url.setScheme(QStringLiteral("tel"));
    url.setPath(destination, QUrl::DecodedMode);
    return m_opener.OpenUrl(url) ? 0 : kCallFailed;
}

// ---- CContactActions ----

void CContactActions::OnContactCommand(int command) {
    IEntryListUi& list = *m_services.list;
    const int row = list.FocusedRow();
    if (row < 0) {
        return;
    }
    for (const ContactCommand& item : kContactCommands) {
        if (item.command != command) {
            continue;
        }
        const CAddressEntry& entry = list.EntryAt(row);
        const QString text = FromUtf8(entry.GetField(item.field));
        switch (item.kind) {
            case ActionKind::kDial:
                DialNumber(text, CalledPartyName(entry), item.field, command);
                break;
            case ActionKind::kEmail:
                OpenAddress(text, QString::fromLatin1(kMailtoPrefix), item.field, command);
                break;
            case ActionKind::kWeb:
                OpenAddress(text, QString::fromLatin1(kHttpPrefix), item.field, command);
                break;
        }
        return;
    }
}

void CContactActions::DialNumber(const QString& number, const QString& calledParty, int field,
                                 int command) {
    if (!number.isEmpty()) {
        m_telephony.RequestMakeCall(number, QString(), calledParty, QString());
        return;
    }
    if (const std::optional<QString> entered = AskForMissingItem(field, command)) {
        m_telephony.RequestMakeCall(*entered, QString(), calledParty, QString());
    }
}

void CContactActions::OpenAddress(const QString& text, const QString& prefix, int field,
                                  int command) {
    if (!text.isEmpty()) {
        LaunchShortcut(BuildAddress(text, prefix));
        return;
    }
    if (const std::optional<QString> entered = AskForMissingItem(field, command)) {
        LaunchShortcut(BuildAddress(*entered, prefix));
    }
}

bool CContactActions::LaunchShortcut(const QString& address) {
    const std::string path =
        QFile::encodeName(QDir::current().filePath(QString::fromLatin1(kShortcutFileName)))
            .toStdString();
    // The address is opened directly; nothing on this desktop reads the
    // shortcut, so a folder that cannot take it (a program started with "/"
    // as its folder) stops nothing and is not reported.
    WriteShortcutFile(path, address);
    return m_opener.OpenUrl(QUrl(address, QUrl::TolerantMode));
}

std::optional<QString> CContactActions::AskForMissingItem(int field, int command) {
    CEmptyDlg dialog(m_services.DialogParent());
    dialog.m_nAddToEntry = ReadSetting(*m_services.profile, settings::kAddNewInfo);
    dialog.UpdateControls();
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    WriteSetting(*m_services.profile, settings::kAddNewInfo, dialog.m_nAddToEntry);
    if (dialog.m_strEnteredText.isEmpty()) {
        return std::nullopt;
    }
    if (dialog.m_nAddToEntry != 0) {
        IEntryListUi& list = *m_services.list;
        const int row = list.FocusedRow();
        if (row >= 0) {
            CAddressEntry changed = list.EntryAt(row);
            changed.SetField(field, ToUtf8(dialog.m_strEnteredText));
            m_services.undo->ReplaceEntry(UndoText(command), row, std::move(changed), false);
        }
    }
    return dialog.m_strEnteredText;
}

void CContactActions::Register(platform::CommandTarget& target) {
    for (const ContactCommand& item : kContactCommands) {
        const int command = item.command;
        target.OnCommand(command, [this, command] { OnContactCommand(command); });
    }
}

}  // namespace entries
