// The CardDAV server of the tests: a Radicale that the test command starts
// and names in the environment (tests/carddav/start_radicale.sh).  Each test
// makes address books of its own, so tests run in parallel.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QUrl>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "carddav/dav_client.h"

namespace carddav::testing {

struct ServerAccount {
    QUrl root;
    QString user;
    QString password;
};

// The account of the server; the test is skipped when none is named.
#define QUILLBOX_REQUIRE_SERVER(account)                                                  \
    if (qEnvironmentVariableIsEmpty("QUILLBOX_CARDDAV_URL"))                              \
        GTEST_SKIP() << "No CardDAV server: eval \"$(tests/carddav/start_radicale.sh)\""; \
    const ::carddav::testing::ServerAccount account {                                     \
        QUrl(qEnvironmentVariable("QUILLBOX_CARDDAV_URL")),                               \
            qEnvironmentVariable("QUILLBOX_CARDDAV_USER"),                                \
            qEnvironmentVariable("QUILLBOX_CARDDAV_PASSWORD")                             \
    }

// An address book of its own for one test, deleted afterwards.
class TestAddressBook {
public:
    TestAddressBook(const ServerAccount& account, const QString& displayName);
    ~TestAddressBook();

    const QUrl& Url() const { return m_url; }
    // The server's cards by UID (their text), listed with PROPFIND and read
    // with GET; two cards of one UID fail the test.
    std::map<std::string, std::string> Cards();
    // Stores `text` as the card `name` ("x.vcf"), or deletes the card when
    // `text` is empty; PutCards several at a time.
    void PutCard(const QString& name, const std::string& text);
    void PutCards(const std::vector<std::pair<QString, std::string>>& cards);

private:
    std::unique_ptr<DavClient> m_pClient;
    QUrl m_url;
};

// The fault proxy (fault_proxy.py) in front of the server, with its rules.
class FaultProxy {
public:
    // The rules that count requests wait for Arm().
    FaultProxy(const QUrl& target, const QStringList& rules);
    ~FaultProxy();
    QUrl Through(const QUrl& url) const;  // `url` with the proxy's scheme, host, port
    // Arms the rules (their counts start now) or puts them to rest.
    void Arm(bool armed);

private:
    QProcess m_process;
    int m_nPort = 0;
    bool m_bTls;
};

// The fault proxy speaking HTTPS with a self-signed certificate (subject
// and issuer "Quillbox Test Server"), which this machine does not trust.
struct TlsProxy : FaultProxy {
    explicit TlsProxy(const QUrl& target) : FaultProxy(target, {QStringLiteral("--tls")}) {}
};

// A card "UID:uid, N:last;first, TEL:phone" plus `extra` lines.
std::string CardText(const std::string& uid, const std::string& last, const std::string& first,
                     const std::string& phone, const std::string& extra = std::string());

}  // namespace carddav::testing
