// The CardDAV server of the tests: a Radicale that the test command starts
// (tests/carddav/start_radicale.sh) and names in QUILLBOX_CARDDAV_URL,
// QUILLBOX_CARDDAV_USER and QUILLBOX_CARDDAV_PASSWORD.  Without those the
// server tests are skipped; with them, a server that does not answer fails
// them.  Each test makes address books of its own, so tests run in
// parallel, and a fault proxy in front of the server when it needs one.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QUrl>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addressbook/address_entry.h"
#include "booksync/book_link.h"
#include "carddav/dav_client.h"
#include "carddav/sync_run.h"
#include "support/temp_folder.h"

namespace carddav::testing {

struct ServerAccount {
    QUrl root;
    QString user;
    QString password;
};

// The server named by the environment; nothing (and the reason in `why`)
// when the environment names none.  A named server that does not answer
// fails the calling test.
std::optional<ServerAccount> TestServer(std::string& why);

// Skips the test when no server is named; fails it when the named one does
// not answer.
#define QUILLBOX_REQUIRE_SERVER(account)                                \
    std::string why_;                                                   \
    const std::optional<::carddav::testing::ServerAccount> account##_ = \
        ::carddav::testing::TestServer(why_);                           \
    if (!account##_) {                                                  \
        if (::testing::Test::HasFailure())                              \
            return;                                                     \
        GTEST_SKIP() << why_;                                           \
    }                                                                   \
    const ::carddav::testing::ServerAccount& account = *account##_

// A client of the test account.
std::unique_ptr<DavClient> ClientOf(const ServerAccount& account);

// An address book of its own for one test, deleted afterwards.
class TestAddressBook {
public:
    TestAddressBook(const ServerAccount& account, const QString& displayName);
    ~TestAddressBook();

    const QUrl& Url() const { return m_url; }
    QString Path() const { return m_url.path(); }

    // The server's cards by UID (their text), read with PROPFIND and GET.
    std::map<std::string, std::string> Cards();
    // How many resources the address book holds.
    int CardCount();
    // Stores `text` as the card `name` ("x.vcf"); its new ETag.
    void PutCard(const QString& name, const std::string& text);
    void DeleteCard(const QString& name);
    // The href of the card of `uid`.
    QString HrefOf(const std::string& uid);

private:
    // The hrefs of the cards, listed with PROPFIND; a card's text by GET.
    std::vector<QString> MemberHrefs();
    std::string Get(const QString& href);

    std::unique_ptr<DavClient> m_pClient;
    QUrl m_url;
};

// The fault proxy (fault_proxy.py) in front of the server, with its rules.
class FaultProxy {
public:
    // With `armed` false the rules wait for Arm().
    FaultProxy(const QUrl& target, const QStringList& rules, bool armed = true);
    ~FaultProxy();
    // `url` with the proxy's host and port.
    QUrl Through(const QUrl& url) const;
    // Arms the rules; the requests are counted from now on.
    void Arm();
    // Puts the rules to rest: every request goes through.
    void Disarm();
    // The requests it saw since the last call: "METHOD PATH STATUS" lines.
    QStringList TakeLog();

private:
    void Control(const char* path);

    QProcess m_process;
    int m_nPort = 0;
};

// The fault proxy speaking HTTPS in front of the server, with a self-signed
// certificate made for it (subject and issuer "Quillbox Test Server"): a
// server whose certificate this machine does not trust.
class TlsProxy {
public:
    explicit TlsProxy(const QUrl& target);
    // `url` through the proxy, as https://.
    QUrl Through(const QUrl& url) const;

private:
    testsupport::TempFolder m_dir;
    std::unique_ptr<FaultProxy> m_pProxy;
};

// A book in memory, synced as the tool and the window do.
struct TestBook {
    std::vector<addressbook::CAddressEntry> entries;
    std::optional<booksync::BookLink> link;

    // One sync (with the book's link when `url` is empty); the outcome is
    // applied to the book as the tool applies it.
    SyncOutcome Sync(const ServerAccount& account, const QUrl& url = QUrl(),
                     const QString& password = QString());
    // The entry of `uid`, or null.
    addressbook::CAddressEntry* Find(const std::string& uid);
    // Entries by UID.
    std::map<std::string, const addressbook::CAddressEntry*> ByUid() const;
};

// A card "UID:uid, N:last;first, TEL:phone" plus `extra` lines.
std::string CardText(const std::string& uid, const std::string& last, const std::string& first,
                     const std::string& phone, const std::string& extra = std::string());
// An entry of the book generator (contact `index` of the default seed).
addressbook::CAddressEntry GeneratedEntry(int index);

}  // namespace carddav::testing
