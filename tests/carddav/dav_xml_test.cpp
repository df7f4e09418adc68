// The reader of server answers and the request bodies: answers as servers
// write them, refused documents, and bodies the reader itself takes back.
#include "carddav/dav_xml.h"

#include <gtest/gtest.h>

namespace carddav {
namespace {

Multistatus Parse(const char* text) {
    Multistatus out;
    QString error;
    EXPECT_TRUE(ParseMultistatus(QByteArray(text), out, error)) << error.toStdString();
    return out;
}

TEST(Multistatus, ReadsAMultigetAnswerWithACardGone) {
    const Multistatus answer = Parse(
        "<?xml version='1.0' encoding='utf-8'?>\n"
        "<multistatus xmlns=\"DAV:\" xmlns:CR=\"urn:ietf:params:xml:ns:carddav\">"
        "<response><href>/u/b/gone.vcf</href><status>HTTP/1.1 404 Not Found</status></response>"
        "<response><href>/u/b/a%201.vcf</href><propstat><prop><getetag>\"e1\"</getetag>"
        "<CR:address-data>BEGIN:VCARD\r\nUID:a &amp; b\r\nEND:VCARD\r\n</CR:address-data></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>");
    ASSERT_EQ(answer.responses.size(), 2u);
    EXPECT_EQ(answer.responses[0].status, 404);
    EXPECT_FALSE(answer.responses[0].hasAddressData);
    EXPECT_EQ(answer.responses[1].href, QStringLiteral("/u/b/a%201.vcf"));
    EXPECT_EQ(answer.responses[1].etag, QStringLiteral("\"e1\""));
    EXPECT_EQ(answer.responses[1].addressData, QByteArray("BEGIN:VCARD\nUID:a & b\nEND:VCARD\n"));
}

TEST(Multistatus, ReadsCollectionsPrincipalsAndReportsUnderAnyPrefix) {
    const Multistatus answer = Parse(
        "<d:multistatus xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\" "
        "xmlns:x=\"http://example.org/other\"><d:response><d:href>/jane/</d:href>"
        "<d:propstat><d:prop><d:resourcetype><d:collection/><card:addressbook/></d:resourcetype>"
        "<d:displayname> Friends </d:displayname>"
        "<d:current-user-principal><d:href>/principals/jane/</d:href></d:current-user-principal>"
        "<card:addressbook-home-set><d:href>/home/a/</d:href><d:href>/home/b/</d:href>"
        "</card:addressbook-home-set><x:getctag>7</x:getctag>"
        "<d:supported-report-set><d:supported-report><d:report><d:sync-collection/></d:report>"
        "</d:supported-report><d:supported-report><d:report><card:addressbook-multiget/>"
        "</d:report></d:supported-report></d:supported-report-set></d:prop>"
        "<d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
        // A property the server does not have: its value is not taken.
        "<d:propstat><d:prop><d:getetag>\"no\"</d:getetag></d:prop>"
        "<d:status>HTTP/1.1 404 Not Found</d:status></d:propstat></d:response>"
        "<d:sync-token>http://example.org/sync/3</d:sync-token></d:multistatus>");
    ASSERT_EQ(answer.responses.size(), 1u);
    const DavResponse& jane = answer.responses[0];
    EXPECT_TRUE(jane.collection && jane.addressBook);
    EXPECT_FALSE(jane.principal);
    EXPECT_EQ(jane.displayName, QStringLiteral("Friends"));
    EXPECT_EQ(jane.currentUserPrincipal, QStringList{QStringLiteral("/principals/jane/")});
    EXPECT_EQ(jane.addressBookHomeSet,
              (QStringList{QStringLiteral("/home/a/"), QStringLiteral("/home/b/")}));
    EXPECT_EQ(jane.supportedReports, (QStringList{QStringLiteral("sync-collection"),
                                                  QStringLiteral("addressbook-multiget")}));
    EXPECT_TRUE(jane.etag.isEmpty());
    EXPECT_EQ(answer.syncToken, QStringLiteral("http://example.org/sync/3"));
}

TEST(Multistatus, RefusesWhatIsNotAPlainMultistatus) {
    const char* refused[] = {
        // Entity expansion needs a DTD, which is refused outright.
        "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><multistatus xmlns=\"DAV:\"><response><href>&b;"
        "</href></response></multistatus>",
        "<?xml version=\"1.0\"?><!DOCTYPE multistatus SYSTEM \"file:///etc/passwd\">"
        "<multistatus xmlns=\"DAV:\"/>",
        "<multistatus xmlns=\"DAV:\"><response><href>&undefined;</href></response></multistatus>",
        "<multistatus xmlns=\"DAV:\"><response>",
        "<multistatus><response/></multistatus>",  // not in the DAV: namespace
        "<html><body>Login</body></html>",
        "",
        "<multistatus xmlns=\"DAV:\"/><second/>",
    };
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        Multistatus out;
        QString error;
        EXPECT_FALSE(ParseMultistatus(QByteArray(text), out, error));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(Multistatus, TellsAnAnswerCutOffOnItsWay) {
    const QByteArray whole =
        "<multistatus xmlns=\"DAV:\"><response><href>/a.vcf</href></response></multistatus>";
    Multistatus out;
    QString error;
    bool cutOff = true;
    EXPECT_TRUE(ParseMultistatus(whole, out, error, &cutOff));
    EXPECT_FALSE(cutOff);
    EXPECT_FALSE(ParseMultistatus(whole.left(whole.size() / 2), out, error, &cutOff));
    EXPECT_TRUE(cutOff);
    EXPECT_FALSE(ParseMultistatus(whole + "<x/>", out, error, &cutOff));
    EXPECT_FALSE(cutOff);
}

TEST(Multistatus, StatusCodeOfAStatusLine) {
    EXPECT_EQ(StatusCodeOf(u"HTTP/1.1 404 Not Found"), 404);
    EXPECT_EQ(StatusCodeOf(u"  HTTP/1.1 200 OK "), 200);
    EXPECT_EQ(StatusCodeOf(u"HTTP/1.1 507"), 507);
    EXPECT_EQ(StatusCodeOf(u"HTTP/1.1"), 0);
    EXPECT_EQ(StatusCodeOf(u"HTTP/1.1 abc"), 0);
    EXPECT_EQ(StatusCodeOf(u"HTTP/1.1 999 No"), 0);
}

TEST(RequestBodies, AreWellFormedAndEscapeHrefs) {
    const QByteArray multiget =
        MultigetBody({QStringLiteral("/b/a&b.vcf"), QStringLiteral("/b/<x>.vcf")});
    EXPECT_NE(multiget.indexOf("/b/a&amp;b.vcf"), -1) << multiget.toStdString();
    EXPECT_NE(multiget.indexOf("/b/&lt;x&gt;.vcf"), -1) << multiget.toStdString();
    EXPECT_NE(SyncCollectionBody(QStringLiteral("tok&1")).indexOf("tok&amp;1"), -1);
    EXPECT_NE(MkcolAddressBookBody(QStringLiteral("A & B")).indexOf("A &amp; B"), -1);
    // Each is one element in its namespace that the reader would not take
    // for a multistatus.
    for (const QByteArray& body : {PropfindCollectionBody(), PropfindEtagsBody(), multiget}) {
        Multistatus out;
        QString error;
        EXPECT_FALSE(ParseMultistatus(body, out, error));
        EXPECT_EQ(error, QStringLiteral("the server's answer is not a WebDAV multistatus"));
    }
}

}  // namespace
}  // namespace carddav
