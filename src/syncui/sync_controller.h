// CSyncController: File / Synchronize... for the window.
//
//   CSyncController sync(document, entries.Undo(), profile, frame, statusBar, pane);
//   sync.RegisterDocumentCommands(document.Commands());
//
// The command asks for the account (CSyncAccountDlg, through the dialogs
// seam) with the book's link and the remembered password filled in, then
// runs the sync on a worker thread (CSyncJob): the status bar shows how far
// it has come and offers to cancel it, and the window stays usable.  At its
// end the changes are made to the list as one undo step (sync_changes.h),
// the status bar says what was done ("Synchronized with Contacts: 3
// received, 1 sent, 0 deleted, 1 conflict.") and a message box says what
// needs the user's attention: a conflict, a card that could not be synced,
// a failure.  A certificate the system does not trust is shown (subject,
// issuer, fingerprint) and used only when the user says so; the answer is
// remembered for that server by the certificate's SHA-256 digest, in the
// settings file ([TrustedCertificates] "host:port").
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

#include "carddav/dav_client.h"
#include "syncui/password_store.h"
#include "syncui/sync_changes.h"

class QLabel;
class QProgressBar;
class QStatusBar;
class QToolButton;
class QWidget;

namespace document {
class CQX32Doc;
}
namespace entries {
class CEntryUndo;
}
namespace platform {
class CommandTarget;
class IProfile;
}  // namespace platform

namespace syncui {

class CSyncJob;

inline constexpr char kTrustedCertificatesSection[] = "TrustedCertificates";

class CSyncController : public QObject {
    Q_OBJECT

public:
    // All must outlive the controller; `passwords` null means the desktop's
    // secret store.
    CSyncController(document::CQX32Doc& document, entries::CEntryUndo& undo,
                    platform::IProfile& profile, QWidget* dialogParent, QStatusBar* statusBar,
                    QLabel* messagePane, IPasswordStore* passwords = nullptr);
    ~CSyncController() override;

    void RegisterDocumentCommands(platform::CommandTarget& target);

    // File / Synchronize...
    void OnSynchronize();
    bool IsSyncing() const;
    // Stops the sync under way; what it did is kept.
    void Cancel();
    // The text of the last sync's end, as the status bar showed it.
    const QString& LastSummary() const { return m_strLastSummary; }

    // The certificates the user trusts, by "host:port".
    QMap<QString, QStringList> TrustedCertificates() const;

signals:
    // A sync ended (its changes made, its summary shown).
    void syncFinished();

private:
    // Asks whether to trust `certificate`; remembers a yes.
    bool AskToTrust(const carddav::CertificateInfo& certificate);
    void StartSync(const QString& url, const QString& user, const QString& password);
    void OnProgress(int phase, qulonglong done, qulonglong total);
    void OnFinished();
    // The first line of the sync's end, in the status bar.
    void ShowSummary(const QString& summary);
    // A message box with what needs the user's attention: a failure other
    // than a cancel, a conflict, a problem, changes kept back.
    void ShowDetails(const carddav::SyncOutcome& outcome, const AppliedSync& applied);
    void ShowProgressWidgets(bool show);

    document::CQX32Doc& m_document;
    entries::CEntryUndo& m_undo;
    platform::IProfile& m_profile;
    QPointer<QWidget> m_pDialogParent;
    QPointer<QStatusBar> m_pStatusBar;
    QPointer<QLabel> m_pMessagePane;
    std::unique_ptr<IPasswordStore> m_pOwnPasswords;
    IPasswordStore& m_passwords;
    QProgressBar* m_pProgress = nullptr;
    QToolButton* m_pCancel = nullptr;

    std::unique_ptr<CSyncJob> m_pJob;
    SyncSnapshot m_snapshot;
    QString m_strUrl;
    QString m_strUser;
    QString m_strPassword;
    bool m_bDiscard = false;  // the book was replaced during the sync
    QString m_strLastSummary;
};

}  // namespace syncui
