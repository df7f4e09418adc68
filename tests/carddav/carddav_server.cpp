#include "carddav_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <atomic>

#include "addressbook/entry_identity.h"
#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_reader.h"
#include "booksync/book_side.h"
#include "carddav/dav_xml.h"
#include "carddav/remote_address_book.h"
#include "carddav/server_address.h"
#include "support/book_generator.h"
#include "support/book_io.h"

namespace carddav::testing {

namespace {

QString Environment(const char* name) {
    return qEnvironmentVariable(name);
}

HttpRequest Propfind(const QUrl& url, const char* depth) {
    return HttpRequest{"PROPFIND",
                       url,
                       PropfindEtagsBody(),
                       "application/xml; charset=utf-8",
                       {{QByteArray("Depth"), QByteArray(depth)}}};
}

}  // namespace

std::optional<ServerAccount> TestServer(std::string& why) {
    const QString url = Environment("QUILLBOX_CARDDAV_URL");
    if (url.isEmpty()) {
        why = "No CardDAV server: start one with eval \"$(tests/carddav/start_radicale.sh)\"";
        return std::nullopt;
    }
    ServerAccount account{QUrl(url), Environment("QUILLBOX_CARDDAV_USER"),
                          Environment("QUILLBOX_CARDDAV_PASSWORD")};
    // Asked once per process: the test command said a server is there, so
    // one that does not answer fails every test that needs it.
    static const std::optional<std::string> problem = [&]() -> std::optional<std::string> {
        const HttpResponse response = ClientOf(account)->Send(Propfind(account.root, "0"));
        if (response.status != 207) {
            return "The CardDAV server " + url.toStdString() +
                   " named by QUILLBOX_CARDDAV_URL does not answer: " +
                   (response.failure ? response.failure.message
                                     : "HTTP " + std::to_string(response.status));
        }
        return std::nullopt;
    }();
    if (problem) {
        ADD_FAILURE() << *problem;
        return std::nullopt;
    }
    return account;
}

std::unique_ptr<DavClient> ClientOf(const ServerAccount& account) {
    return std::make_unique<DavClient>(account.user, account.password, QMap<QString, QStringList>(),
                                       nullptr);
}

// ---- TestAddressBook ----

TestAddressBook::TestAddressBook(const ServerAccount& account, const QString& displayName)
    : m_pClient(ClientOf(account)) {
    static std::atomic<int> counter{0};
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QStringLiteral("%1-%2-%3-%4")
                             .arg(QString::fromLatin1(test != nullptr ? test->name() : "book"))
                             .arg(QCoreApplication::applicationPid())
                             .arg(++counter)
                             .arg(QDateTime::currentMSecsSinceEpoch() % 100000);
    m_url = account.root.resolved(QUrl(account.user + QLatin1Char('/') + name + QLatin1Char('/')));
    const booksync::Failure failure = CreateAddressBook(*m_pClient, m_url, displayName);
    EXPECT_FALSE(failure) << failure.message;
}

TestAddressBook::~TestAddressBook() {
    DeleteCollection(*m_pClient, m_url);
}

std::vector<QString> TestAddressBook::MemberHrefs() {
    const HttpResponse listing = m_pClient->Send(Propfind(m_url, "1"));
    EXPECT_EQ(listing.status, 207);
    Multistatus members;
    QString error;
    EXPECT_TRUE(ParseMultistatus(listing.body, members, error)) << error.toStdString();
    std::vector<QString> hrefs;
    for (const DavResponse& member : members.responses) {
        if (!member.collection) {
            hrefs.push_back(member.href);
        }
    }
    return hrefs;
}

std::string TestAddressBook::Get(const QString& href) {
    const HttpResponse card =
        m_pClient->Send(HttpRequest{"GET", ResolveHref(m_url, href), {}, {}, {}});
    EXPECT_EQ(card.status, 200);
    return card.body.toStdString();
}

std::map<std::string, std::string> TestAddressBook::Cards() {
    std::map<std::string, std::string> cards;
    for (const QString& href : MemberHrefs()) {
        const std::string text = Get(href);
        std::string uid;
        addressbook::vcard::CVCardReader reader;
        reader.ReadBytes(text, [&uid](addressbook::vcard::Card& parsed) {
            for (const auto& property : parsed.properties) {
                if (property.Is("UID")) {
                    uid = property.value;
                }
            }
        });
        EXPECT_EQ(cards.count(uid), 0u) << "two cards of UID " << uid;
        cards[uid] = text;
    }
    return cards;
}

int TestAddressBook::CardCount() {
    return static_cast<int>(MemberHrefs().size());
}

void TestAddressBook::PutCard(const QString& name, const std::string& text) {
    const HttpResponse response = m_pClient->Send(HttpRequest{"PUT",
                                                              m_url.resolved(QUrl(name)),
                                                              QByteArray::fromStdString(text),
                                                              "text/vcard; charset=utf-8",
                                                              {}});
    EXPECT_TRUE(response.status == 201 || response.status == 204) << response.status;
}

void TestAddressBook::DeleteCard(const QString& name) {
    const HttpResponse response =
        m_pClient->Send(HttpRequest{"DELETE", m_url.resolved(QUrl(name)), {}, {}, {}});
    EXPECT_TRUE(response.status == 200 || response.status == 204) << response.status;
}

QString TestAddressBook::HrefOf(const std::string& uid) {
    for (const QString& href : MemberHrefs()) {
        if (Get(href).find("UID:" + uid + "\r\n") != std::string::npos) {
            return href;
        }
    }
    return QString();
}

// ---- FaultProxy ----

FaultProxy::FaultProxy(const QUrl& target, const QStringList& rules, bool armed) {
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    QStringList arguments{QStringLiteral(QUILLBOX_FAULT_PROXY),
                          target.toString(QUrl::RemovePath | QUrl::RemoveUserInfo)};
    if (!armed) {
        arguments << QStringLiteral("--disarmed");
    }
    arguments << rules;
    m_process.start(python, arguments);
    if (!m_process.waitForStarted(10000)) {
        ADD_FAILURE() << "the fault proxy did not start";
        return;
    }
    QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && !deadline.hasExpired()) {
        m_process.waitForReadyRead(100);
    }
    m_nPort = m_process.readLine().trimmed().toInt();
    EXPECT_GT(m_nPort, 0) << "the fault proxy did not say its port";
}

FaultProxy::~FaultProxy() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

QUrl FaultProxy::Through(const QUrl& url) const {
    QUrl through = url;
    through.setHost(QStringLiteral("127.0.0.1"));
    through.setPort(m_nPort);
    return through;
}

TlsProxy::TlsProxy(const QUrl& target) {
    const QString cert = QString::fromStdString(m_dir.File("cert.pem"));
    const QString key = QString::fromStdString(m_dir.File("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=Quillbox Test Server", "-keyout", key, "-out", cert});
    openssl.waitForFinished(60000);
    EXPECT_EQ(openssl.exitCode(), 0) << "openssl could not make a certificate";
    m_pProxy =
        std::make_unique<FaultProxy>(target, QStringList{QStringLiteral("--tls"), cert, key});
}

QUrl TlsProxy::Through(const QUrl& url) const {
    QUrl through = m_pProxy->Through(url);
    through.setScheme(QStringLiteral("https"));
    return through;
}

void FaultProxy::Control(const char* path) {
    DavClient client(QString(), QString(), {}, nullptr);
    QUrl url(QStringLiteral("http://127.0.0.1"));
    url.setPort(m_nPort);
    url.setPath(QString::fromLatin1(path));
    EXPECT_EQ(client.Send(HttpRequest{"POST", url, {}, {}, {}}).status, 204);
}

void FaultProxy::Arm() {
    Control("/__fault_proxy__/arm");
}

void FaultProxy::Disarm() {
    Control("/__fault_proxy__/disarm");
}

QStringList FaultProxy::TakeLog() {
    m_process.waitForReadyRead(50);
    return QString::fromUtf8(m_process.readAllStandardError())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// ---- TestBook ----

SyncOutcome TestBook::Sync(const ServerAccount& account, const QUrl& url, const QString& password) {
    SyncRequest request;
    request.url = url.isEmpty() ? QString() : url.toString();
    request.user = account.user;
    request.password = password.isEmpty() ? account.password : password;
    request.entries = entries;
    request.link = link;
    request.conflictDate = "2024-03-01";
    SyncOutcome outcome = RunSync(std::move(request));
    entries = booksync::EntriesAfterSync(std::move(entries), outcome.changes, outcome.added);
    if (outcome.link) {
        link = outcome.link;
    }
    return outcome;
}

addressbook::CAddressEntry* TestBook::Find(const std::string& uid) {
    for (addressbook::CAddressEntry& entry : entries) {
        if (addressbook::EntryUid(entry) == uid) {
            return &entry;
        }
    }
    return nullptr;
}

std::map<std::string, const addressbook::CAddressEntry*> TestBook::ByUid() const {
    std::map<std::string, const addressbook::CAddressEntry*> byUid;
    for (const addressbook::CAddressEntry& entry : entries) {
        const auto uid = addressbook::EntryUid(entry);
        byUid[uid ? std::string(*uid) : std::string()] = &entry;
    }
    return byUid;
}

std::string CardText(const std::string& uid, const std::string& last, const std::string& first,
                     const std::string& phone, const std::string& extra) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + first + " " + last +
           "\r\nN:" + last + ";" + first + ";;;\r\nTEL;TYPE=HOME,VOICE:" + phone + "\r\n" + extra +
           "END:VCARD\r\n";
}

addressbook::CAddressEntry GeneratedEntry(int index) {
    return testsupport::EntryOf(bench::MakeContact(bench::kDefaultSeed, index));
}

}  // namespace carddav::testing
