// CSyncAccountDlg: the account of a sync.  The server's address (its root,
// the user's principal or the address book itself), the user name and the
// password; "Find Address Books" lists the address books found there (by
// their display names, the address on each as its tooltip), and "Sync Now"
// synchronizes with the one chosen, or with the address itself when none
// is listed.  Of several found, the user chooses one; the one whose address
// was typed (the book's own, when the book is linked), or the only one, is
// chosen already.
//
// The search runs on a worker thread, so the window is never held up by
// the network; a search under way is cancelled when the dialog closes.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>
#include <atomic>
#include <functional>
#include <optional>

#include "carddav/dav_client.h"
#include "carddav/discovery.h"
#include "syncui/worker_thread.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace syncui {

// What a search found, and the certificate that stopped it, if one did.
struct SearchResult {
    carddav::Discovery discovery;
    std::optional<carddav::CertificateInfo> untrusted;
};

class CSyncAccountDlg : public QDialog {
    Q_OBJECT

public:
    using Trusted = QMap<QString, QStringList>;  // certificate digests by host:port
    struct Hooks {
        // Searches the account for address books, on a worker thread;
        // `cancel` stops it.
        std::function<SearchResult(const QUrl& url, const QString& user, const QString& password,
                                   const Trusted& trusted, std::atomic<bool>* cancel)>
            find;
        // The certificates the user trusts now.
        std::function<Trusted()> trusted;
        // Asks whether to trust a certificate (and remembers the answer);
        // true to search again.
        std::function<bool(const carddav::CertificateInfo& certificate)> trust;
    };

    explicit CSyncAccountDlg(Hooks hooks, QWidget* parent = nullptr);

    void SetAccount(const QString& url, const QString& user, const QString& password);
    QString ServerText() const;
    QString User() const;
    QString Password() const;
    // The address book chosen in the list, else the address typed.
    QString ChosenUrl() const;

    // "Find Address Books".
    void FindAddressBooks();
    // The line under the list: what the search found or why it failed.
    QString SearchText() const;

signals:
    void searchFinished();

private:
    void OnSearchDone();
    void ShowAddressBooks(const std::vector<carddav::FoundAddressBook>& books);
    void UpdateButtons();

    Hooks m_hooks;
    QLineEdit* m_pServer;
    QLineEdit* m_pUser;
    QLineEdit* m_pPassword;
    QPushButton* m_pFind;
    QListWidget* m_pBooks;
    QLabel* m_pSearchText;
    QPushButton* m_pSyncNow;
    SearchResult m_result;
    // Last, so that a search under way ends before the members above go.
    CWorkerThread m_search;
};

}  // namespace syncui
