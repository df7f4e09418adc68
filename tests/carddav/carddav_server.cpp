#include "carddav_server.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QUuid>

#include "carddav/dav_xml.h"
#include "carddav/remote_address_book.h"
#include "carddav/server_address.h"

namespace carddav::testing {

TestAddressBook::TestAddressBook(const ServerAccount& account, const QString& displayName)
    : m_pClient(std::make_unique<DavClient>(account.user, account.password,
                                            QMap<QString, QStringList>(), nullptr)) {
    // Unique among the test processes that share the server.
    m_url = account.root.resolved(
        QUrl(account.user + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::Id128) + '/'));
    const booksync::Failure failure = CreateAddressBook(*m_pClient, m_url, displayName);
    EXPECT_FALSE(failure) << failure.message;
}

TestAddressBook::~TestAddressBook() {
    DeleteCollection(*m_pClient, m_url);
}

std::map<std::string, std::string> TestAddressBook::Cards() {
    const HttpResponse listing = m_pClient->Send(
        HttpRequest{"PROPFIND", m_url, PropfindEtagsBody(), "application/xml", {{"Depth", "1"}}});
    Multistatus members;
    QString error;
    EXPECT_TRUE(ParseMultistatus(listing.body, members, error)) << error.toStdString();
    static const QRegularExpression uidLine(QStringLiteral("\nUID:([^\r\n]*)"));
    std::map<std::string, std::string> cards;
    for (const DavResponse& member : members.responses) {
        if (member.collection) {
            continue;
        }
        const HttpResponse card =
            m_pClient->Send(HttpRequest{"GET", ResolveHref(m_url, member.href), {}, {}, {}});
        EXPECT_EQ(card.status, 200);
        const std::string uid =
            uidLine.match(QString::fromUtf8(card.body)).captured(1).toStdString();
        EXPECT_EQ(cards.count(uid), 0u) << "two cards of UID " << uid;
        cards[uid] = card.body.toStdString();
    }
    return cards;
}

void TestAddressBook::PutCard(const QString& name, const std::string& text) {
    PutCards({{name, text}});
}

void TestAddressBook::PutCards(const std::vector<std::pair<QString, std::string>>& cards) {
    std::vector<HttpRequest> puts;
    for (const auto& [name, text] : cards) {
        const QByteArray method = text.empty() ? "DELETE" : "PUT";
        puts.push_back({method, m_url.resolved(QUrl(name)), text.c_str(), "text/vcard", {}});
    }
    m_pClient->SendAll(puts, [](std::size_t, HttpResponse& response) {
        EXPECT_EQ(response.status / 100, 2) << response.status;
        return true;
    });
}

FaultProxy::FaultProxy(const QUrl& target, const QStringList& rules)
    : m_bTls(rules.contains(QStringLiteral("--tls"))) {
    const QStringList arguments{QStringLiteral(QUILLBOX_FAULT_PROXY),
                                target.toString(QUrl::RemovePath | QUrl::RemoveUserInfo)};
    // The system's Python (as start_radicale.sh), not whatever a version
    // manager puts first; what goes wrong in it shows in the test's output.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), arguments + rules);
    // It says its port on a line of its own once it listens.
    QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && !deadline.hasExpired()) {
        m_process.waitForReadyRead(100);
    }
    m_nPort = m_process.readLine().trimmed().toInt();
    EXPECT_GT(m_nPort, 0) << "the fault proxy did not start";
}

FaultProxy::~FaultProxy() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

QUrl FaultProxy::Through(const QUrl& url) const {
    QUrl through = url;
    through.setScheme(m_bTls ? QStringLiteral("https") : QStringLiteral("http"));
    through.setHost(QStringLiteral("127.0.0.1"));
    through.setPort(m_nPort);
    return through;
}

void FaultProxy::Arm(bool armed) {
    DavClient client(QString(), QString(), {}, nullptr);
    const QUrl url = Through(QUrl(QStringLiteral("http://h/__fault_proxy__/") +
                                  (armed ? QStringLiteral("arm") : QStringLiteral("disarm"))));
    EXPECT_EQ(client.Send(HttpRequest{"POST", url, {}, {}, {}}).status, 204);
}

std::string CardText(const std::string& uid, const std::string& last, const std::string& first,
                     const std::string& phone, const std::string& extra) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + first + " " + last +
           "\r\nN:" + last + ";" + first + ";;;\r\nTEL;TYPE=HOME,VOICE:" + phone + "\r\n" + extra +
           "END:VCARD\r\n";
}

}  // namespace carddav::testing
