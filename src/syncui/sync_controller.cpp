#include "syncui/sync_controller.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

#include "booksync/book_link.h"
#include "carddav/discovery.h"
#include "carddav/server_address.h"
#include "document/qx32_doc.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "resources/command_ids.h"
#include "syncui/account_dlg.h"
#include "syncui/sync_job.h"

namespace syncui {

using booksync::FailureKind;
using booksync::SyncPhase;

namespace {

std::optional<booksync::BookLink> LinkOf(const document::CQX32Doc& document) {
    return document.Link() ? booksync::ReadBookLink(*document.Link()) : std::nullopt;
}

SearchResult Search(const QUrl& url, const QString& user, const QString& password,
                    const CSyncAccountDlg::Trusted& trusted, std::atomic<bool>* cancel) {
    carddav::DavClient client(user, password, trusted, cancel);
    SearchResult result;
    result.discovery = carddav::FindAddressBooks(client, url);
    result.untrusted = client.UntrustedCertificate();
    return result;
}

// The certificate digests trusted for "host:port", as the settings keep them:
// separated by commas.
QStringList TrustedDigests(const platform::IProfile& profile, const QString& hostPort) {
    return QString::fromStdString(
               profile.GetString(kTrustedCertificatesSection, hostPort.toStdString(), ""))
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QString Counted(qulonglong done, qulonglong total) {
    return total > 0 ? QStringLiteral(" (%1 of %2)").arg(done).arg(total) : QString();
}

}  // namespace

CSyncController::CSyncController(document::CQX32Doc& document, entries::CEntryUndo& undo,
                                 platform::IProfile& profile, QWidget* dialogParent,
                                 QStatusBar* statusBar, QLabel* messagePane,
                                 IPasswordStore* passwords)
    : m_document(document),
      m_undo(undo),
      m_profile(profile),
      m_pDialogParent(dialogParent),
      m_pStatusBar(statusBar),
      m_pMessagePane(messagePane),
      m_pOwnPasswords(passwords == nullptr ? std::make_unique<KeychainPasswordStore>() : nullptr),
      m_passwords(passwords != nullptr ? *passwords : *m_pOwnPasswords) {
    if (m_pStatusBar) {
        m_pProgress = new QProgressBar(m_pStatusBar);
        m_pProgress->setObjectName(QStringLiteral("syncProgress"));
        m_pProgress->setMaximumWidth(160);
        m_pProgress->setTextVisible(false);
        m_pCancel = new QToolButton(m_pStatusBar);
        m_pCancel->setObjectName(QStringLiteral("cancelSync"));
        m_pCancel->setText(QStringLiteral("Cancel"));
        m_pCancel->setToolTip(QStringLiteral("Stop the synchronization; what it did is kept"));
        m_pStatusBar->addWidget(m_pProgress);
        m_pStatusBar->addWidget(m_pCancel);
        connect(m_pCancel, &QToolButton::clicked, this, &CSyncController::Cancel);
        ShowProgressWidgets(false);
    }
    // A book opened or made new during a sync is not the one it synced.
    connect(&m_document, &platform::CDocument::initialUpdate, this, [this] {
        if (IsSyncing()) {
            m_bDiscard = true;
            m_pJob->Cancel();
        }
    });
}

CSyncController::~CSyncController() = default;

void CSyncController::RegisterDocumentCommands(platform::CommandTarget& target) {
    target.OnCommand(resources::kCmdFileSynchronize, [this] { OnSynchronize(); });
    target.OnUpdate(resources::kCmdFileSynchronize,
                    [this](platform::CCmdUI& ui) { ui.Enable(!IsSyncing()); });
}

bool CSyncController::IsSyncing() const {
    return m_pJob != nullptr && m_pJob->IsRunning();
}

void CSyncController::Cancel() {
    if (IsSyncing()) {
        m_pJob->Cancel();
        if (m_pMessagePane) {
            m_pMessagePane->setText(QStringLiteral("Stopping the synchronization..."));
        }
    }
}

QMap<QString, QStringList> CSyncController::TrustedCertificates() const {
    // Only the servers asked about are read: the section has no index.
    QMap<QString, QStringList> trusted;
    const std::optional<booksync::BookLink> link = LinkOf(m_document);
    QStringList servers;
    QString error;
    for (const QString& address :
         {m_strUrl, link ? QString::fromStdString(link->url) : QString()}) {
        if (const std::optional<QUrl> url = carddav::UrlFromUserText(address, error)) {
            servers << carddav::HostPortOf(*url);
        }
    }
    for (const QString& server : servers) {
        const QStringList digests = TrustedDigests(m_profile, server);
        if (!digests.isEmpty()) {
            trusted[server] = digests;
        }
    }
    return trusted;
}

bool CSyncController::AskToTrust(const carddav::CertificateInfo& certificate) {
    const QString text =
        QStringLiteral(
            "The certificate of the server %1 is not trusted by this computer.\n\n"
            "Issued to: %2\nIssued by: %3\nSHA-256 fingerprint: %4\nProblem: %5\n\n"
            "Only trust it if you know that this is your server's certificate (ask its "
            "administrator for the fingerprint). Trust this certificate for %1 from now on?")
            .arg(certificate.hostPort, certificate.subject, certificate.issuer, certificate.digest,
                 certificate.problems);
    if (platform::ShowMessageBox(text, platform::MessageIcon::kWarning,
                                 platform::MessageButtons::kYesNo,
                                 m_pDialogParent) != platform::MessageAnswer::kYes) {
        return false;
    }
    QStringList digests = TrustedDigests(m_profile, certificate.hostPort);
    if (!digests.contains(certificate.digest)) {
        digests << certificate.digest;
    }
    m_profile.SetString(kTrustedCertificatesSection, certificate.hostPort.toStdString(),
                        digests.join(QLatin1Char(',')).toStdString());
    return true;
}

void CSyncController::OnSynchronize() {
    if (IsSyncing()) {
        return;
    }
    const std::optional<booksync::BookLink> link = LinkOf(m_document);
    const QString url = link ? QString::fromStdString(link->url) : m_strUrl;
    const QString user = link ? QString::fromStdString(link->user) : m_strUser;

    CSyncAccountDlg::Hooks hooks;
    hooks.find = Search;
    hooks.trusted = [this] { return TrustedCertificates(); };
    hooks.trust = [this](const carddav::CertificateInfo& certificate) {
        return AskToTrust(certificate);
    };
    CSyncAccountDlg dialog(std::move(hooks), m_pDialogParent);
    dialog.SetAccount(url, user,
                      user.isEmpty() ? QString() : m_passwords.Read(AccountKey(user, url)));
    if (platform::Dialogs().RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    StartSync(dialog.ChosenUrl(), dialog.User(), dialog.Password());
}

void CSyncController::StartSync(const QString& url, const QString& user, const QString& password) {
    m_strUrl = url;
    m_strUser = user;
    m_strPassword = password;
    // Asked once per run at most, whether a secret store keeps it or not.
    m_passwords.Write(AccountKey(user, url), password);

    carddav::SyncRequest request;
    request.url = url;
    request.user = user;
    request.password = password;
    request.trustedCertificates = TrustedCertificates();
    request.link = LinkOf(m_document);
    m_snapshot = TakeSnapshot(m_undo.List());
    request.entries = m_snapshot.copies;
    m_bDiscard = false;
    m_pJob = std::make_unique<CSyncJob>(std::move(request));
    connect(m_pJob.get(), &CSyncJob::progress, this, &CSyncController::OnProgress);
    connect(m_pJob.get(), &CSyncJob::finished, this, &CSyncController::OnFinished);
    ShowProgressWidgets(true);
    OnProgress(static_cast<int>(SyncPhase::kConnecting), 0, 0);
    m_pJob->Start();
}

void CSyncController::OnProgress(int phase, qulonglong done, qulonglong total) {
    if (!m_pMessagePane || !IsSyncing() || m_pJob->IsCancelled()) {
        return;
    }
    QString host;
    QString error;
    if (const std::optional<QUrl> url = carddav::UrlFromUserText(m_strUrl, error)) {
        host = url->host();
    }
    QString text;
    switch (static_cast<SyncPhase>(phase)) {
        case SyncPhase::kConnecting:
            text = QStringLiteral("Connecting to %1...").arg(host);
            break;
        case SyncPhase::kListing:
            text = QStringLiteral("Synchronizing: looking for changes on %1...").arg(host);
            break;
        case SyncPhase::kFetching:
            text = QStringLiteral("Synchronizing: receiving cards%1...").arg(Counted(done, total));
            break;
        case SyncPhase::kApplying:
            text = QStringLiteral("Synchronizing: comparing the cards...");
            break;
        case SyncPhase::kSending:
            text = QStringLiteral("Synchronizing: sending entries%1...").arg(Counted(done, total));
            break;
        case SyncPhase::kDeleting:
            text = QStringLiteral("Synchronizing: deleting cards%1...").arg(Counted(done, total));
            break;
        case SyncPhase::kDone:
            text = QStringLiteral("Synchronizing: finishing...");
            break;
    }
    m_pMessagePane->setText(text);
    if (m_pProgress != nullptr) {
        m_pProgress->setRange(0, total > 0 ? 1000 : 0);  // busy while the total is unknown
        if (total > 0) {
            m_pProgress->setValue(static_cast<int>(done * 1000 / total));
        }
    }
}

void CSyncController::ShowProgressWidgets(bool show) {
    if (m_pProgress != nullptr) {
        m_pProgress->setVisible(show);
        m_pCancel->setVisible(show);
    }
}

void CSyncController::OnFinished() {
    std::unique_ptr<CSyncJob> job = std::move(m_pJob);
    ShowProgressWidgets(false);
    carddav::SyncOutcome& outcome = job->Outcome();
    const booksync::Failure& failure = outcome.report.failure;
    if (m_bDiscard) {
        m_snapshot = SyncSnapshot();
        ShowSummary(QStringLiteral("The synchronization stopped: another book was opened."));
        emit syncFinished();
        return;
    }
    if (failure.kind == FailureKind::kCertificate && outcome.untrustedCertificate &&
        AskToTrust(*outcome.untrustedCertificate)) {
        StartSync(m_strUrl, m_strUser, m_strPassword);  // again, trusting it now
        return;
    }
    if (failure.kind == FailureKind::kAuthentication) {
        m_passwords.Forget(AccountKey(m_strUser, m_strUrl));
    }
    const AppliedSync applied =
        ApplySyncOutcome(m_undo, m_snapshot, outcome, m_document, QStringLiteral("Synchronize"));
    m_snapshot = SyncSnapshot();
    if (outcome.link) {
        // The address book as the sync found it, for the next one.
        m_strUrl = QString::fromStdString(outcome.link->url);
    }
    ShowSummary(outcome.summary.section(QLatin1Char('\n'), 0, 0));
    ShowDetails(outcome, applied);
    emit syncFinished();
}

void CSyncController::ShowSummary(const QString& summary) {
    m_strLastSummary = summary;
    if (m_pMessagePane) {
        m_pMessagePane->setText(m_strLastSummary);
    }
}

void CSyncController::ShowDetails(const carddav::SyncOutcome& outcome, const AppliedSync& applied) {
    const booksync::Failure& failure = outcome.report.failure;
    QString details = outcome.summary;
    if (applied.kept > 0) {
        details += QStringLiteral(
                       "\n%1 entries changed here during the synchronization kept those changes; "
                       "the next synchronization takes them up.")
                       .arg(applied.kept);
    }
    const bool attention = failure || details.contains(QLatin1Char('\n'));
    if (attention && failure.kind != FailureKind::kCancelled) {
        platform::ShowMessageBox(
            details,
            failure ? platform::MessageIcon::kWarning : platform::MessageIcon::kInformation,
            platform::MessageButtons::kOk, m_pDialogParent);
    }
}

}  // namespace syncui
