#include "syncui/account_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "carddav/server_address.h"

namespace syncui {

namespace {

constexpr int kUrlRole = Qt::UserRole;

}  // namespace

CSyncAccountDlg::CSyncAccountDlg(Hooks hooks, QWidget* parent)
    : QDialog(parent), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("syncAccountDialog"));
    setWindowTitle(QStringLiteral("Synchronize"));

    auto* intro = new QLabel(
        QStringLiteral("Synchronize this book with an address book on a CardDAV server. "
                       "Enter the server's address (or the address book's own), your user "
                       "name and password."),
        this);
    intro->setWordWrap(true);

    m_pServer = new QLineEdit(this);
    m_pServer->setObjectName(QStringLiteral("serverAddress"));
    m_pServer->setPlaceholderText(QStringLiteral("https://dav.example.org/"));
    m_pUser = new QLineEdit(this);
    m_pUser->setObjectName(QStringLiteral("userName"));
    m_pPassword = new QLineEdit(this);
    m_pPassword->setObjectName(QStringLiteral("password"));
    m_pPassword->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server &address:"), m_pServer);
    form->addRow(QStringLiteral("&User name:"), m_pUser);
    form->addRow(QStringLiteral("&Password:"), m_pPassword);

    m_pFind = new QPushButton(QStringLiteral("&Find Address Books"), this);
    m_pFind->setObjectName(QStringLiteral("findAddressBooks"));
    m_pFind->setAutoDefault(false);
    m_pBooks = new QListWidget(this);
    m_pBooks->setObjectName(QStringLiteral("addressBooks"));
    m_pBooks->setMinimumHeight(100);
    m_pSearchText = new QLabel(this);
    m_pSearchText->setObjectName(QStringLiteral("searchText"));
    m_pSearchText->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    m_pSyncNow = buttons->addButton(QStringLiteral("&Sync Now"), QDialogButtonBox::AcceptRole);
    m_pSyncNow->setObjectName(QStringLiteral("syncNow"));
    m_pSyncNow->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_pFind, 0, Qt::AlignLeft);
    layout->addWidget(m_pBooks);
    layout->addWidget(m_pSearchText);
    layout->addWidget(buttons);
    resize(480, 400);

    connect(m_pFind, &QPushButton::clicked, this, &CSyncAccountDlg::FindAddressBooks);
    connect(&m_search, &CWorkerThread::finished, this, &CSyncAccountDlg::OnSearchDone);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit* edit : {m_pServer, m_pUser, m_pPassword}) {
        connect(edit, &QLineEdit::textChanged, this, &CSyncAccountDlg::UpdateButtons);
    }
    connect(m_pBooks, &QListWidget::currentItemChanged, this, &CSyncAccountDlg::UpdateButtons);
    connect(m_pServer, &QLineEdit::textEdited, m_pBooks, &QListWidget::clear);
    connect(m_pBooks, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_pSyncNow->isEnabled()) {
            accept();
        }
    });
    UpdateButtons();
}

void CSyncAccountDlg::SetAccount(const QString& url, const QString& user, const QString& password) {
    m_pServer->setText(url);
    m_pUser->setText(user);
    m_pPassword->setText(password);
    if (!url.isEmpty() && !user.isEmpty() && password.isEmpty()) {
        m_pPassword->setFocus();
    }
}

QString CSyncAccountDlg::ServerText() const {
    return m_pServer->text().trimmed();
}

QString CSyncAccountDlg::User() const {
    return m_pUser->text().trimmed();
}

QString CSyncAccountDlg::Password() const {
    return m_pPassword->text();
}

QString CSyncAccountDlg::ChosenUrl() const {
    const QListWidgetItem* item = m_pBooks->currentItem();
    return item != nullptr ? item->data(kUrlRole).toString() : ServerText();
}

QString CSyncAccountDlg::SearchText() const {
    return m_pSearchText->text();
}

void CSyncAccountDlg::UpdateButtons() {
    const bool account = !ServerText().isEmpty() && !User().isEmpty() && !Password().isEmpty();
    // Once address books are listed, one of them is what Sync Now takes.
    const bool chosen = m_pBooks->count() == 0 || m_pBooks->currentItem() != nullptr;
    m_pFind->setEnabled(account && !m_search.IsRunning());
    m_pSyncNow->setEnabled(account && chosen && !m_search.IsRunning());
}

void CSyncAccountDlg::FindAddressBooks() {
    if (m_search.IsRunning()) {
        return;
    }
    QString error;
    const std::optional<QUrl> url = carddav::UrlFromUserText(ServerText(), error);
    if (!url) {
        m_pSearchText->setText(error);
        return;
    }
    m_pBooks->clear();
    m_pSearchText->setText(QStringLiteral("Looking for address books at %1...").arg(url->host()));
    const Trusted trusted = m_hooks.trusted ? m_hooks.trusted() : Trusted();
    m_search.Start([this, address = *url, user = User(), password = Password(), trusted] {
        m_result = m_hooks.find(address, user, password, trusted, m_search.CancelFlag());
    });
    UpdateButtons();
}

void CSyncAccountDlg::OnSearchDone() {
    UpdateButtons();
    const carddav::Discovery& found = m_result.discovery;
    if (found.failure.kind == booksync::FailureKind::kCertificate && m_result.untrusted &&
        m_hooks.trust && m_hooks.trust(*m_result.untrusted)) {
        FindAddressBooks();  // trusted now
        return;
    }
    if (found.failure) {
        m_pSearchText->setText(QString::fromStdString(found.failure.message));
    } else {
        ShowAddressBooks(found.books);
    }
    emit searchFinished();
}

void CSyncAccountDlg::ShowAddressBooks(const std::vector<carddav::FoundAddressBook>& books) {
    // By name; the one typed (the book's own, when it is linked) chosen, or
    // the only one.  Of several, the user chooses.
    QString error;
    const std::optional<QUrl> typed = carddav::UrlFromUserText(ServerText(), error);
    QListWidgetItem* chosen = nullptr;
    for (const carddav::FoundAddressBook& book : books) {
        auto* item = new QListWidgetItem(book.name, m_pBooks);
        const QString address = book.url.toString(QUrl::RemoveUserInfo);
        item->setData(kUrlRole, address);
        item->setToolTip(address);
        if (typed && carddav::SameResource(*typed, book.url)) {
            chosen = item;
        }
    }
    m_pBooks->sortItems();
    if (chosen == nullptr && m_pBooks->count() == 1) {
        chosen = m_pBooks->item(0);
    }
    m_pBooks->setCurrentItem(chosen);
    m_pSearchText->setText(
        books.size() == 1
            ? QStringLiteral("1 address book found.")
            : QStringLiteral("%1 address books found. Choose one.").arg(books.size()));
    m_pBooks->setFocus();
}

}  // namespace syncui
