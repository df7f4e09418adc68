// The reader of server answers: what the test server does not show.
#include "carddav/dav_xml.h"

#include <gtest/gtest.h>

namespace carddav {
namespace {

// An answer as servers other than the test server write it: DAV: under a
// prefix, a card gone, entities, a property the server does not have, a
// status line without its words.
TEST(Multistatus, ReadsAnswersUnderAnyPrefix) {
    Multistatus answer;
    QString error;
    ASSERT_TRUE(ParseMultistatus(
        "<d:multistatus xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\">"
        "<d:response><d:href>/u/b/gone.vcf</d:href><d:status>HTTP/1.1 404 Not Found</d:status>"
        "</d:response><d:response><d:href>/u/b/a%201.vcf</d:href><d:propstat><d:prop>"
        "<d:getetag>\"e1\"</d:getetag><card:address-data>BEGIN:VCARD\r\nUID:a &amp; b\r\n"
        "END:VCARD\r\n</card:address-data></d:prop><d:status>HTTP/1.1 200 OK</d:status>"
        "</d:propstat></d:response><d:response><d:href>/jane/</d:href><d:propstat><d:prop>"
        "<d:resourcetype><d:collection/><card:addressbook/></d:resourcetype>"
        "<d:displayname> Friends </d:displayname>"
        "<card:addressbook-home-set><d:href>/home/a/</d:href><d:href>/home/b/</d:href>"
        "</card:addressbook-home-set><d:supported-report-set><d:supported-report><d:report>"
        "<card:addressbook-multiget/></d:report></d:supported-report><d:supported-report>"
        "<d:report><d:sync-collection/></d:report></d:supported-report></d:supported-report-set>"
        "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
        "<d:propstat><d:prop><d:getetag>\"no\"</d:getetag></d:prop>"
        "<d:status>HTTP/1.1 404 Not Found</d:status></d:propstat></d:response>"
        "<d:response><d:href>/u/b/</d:href><d:status>HTTP/1.1 507</d:status></d:response>"
        "<d:sync-token>http://example.org/sync/3</d:sync-token></d:multistatus>",
        answer, error))
        << error.toStdString();
    ASSERT_EQ(answer.responses.size(), 4u);
    EXPECT_EQ(answer.responses[0].status, 404);
    EXPECT_FALSE(answer.responses[0].hasAddressData);
    EXPECT_EQ(answer.responses[1].href, QStringLiteral("/u/b/a%201.vcf"));
    EXPECT_EQ(answer.responses[1].etag, QStringLiteral("\"e1\""));
    EXPECT_EQ(answer.responses[1].addressData, QByteArray("BEGIN:VCARD\nUID:a & b\nEND:VCARD\n"));
    const DavResponse& jane = answer.responses[2];
    EXPECT_TRUE(jane.collection && jane.addressBook && !jane.principal);
    EXPECT_EQ(jane.displayName, QStringLiteral("Friends"));
    EXPECT_EQ(jane.addressBookHomeSet,
              (QStringList{QStringLiteral("/home/a/"), QStringLiteral("/home/b/")}));
    EXPECT_EQ(jane.supportedReports, (QStringList{QStringLiteral("addressbook-multiget"),
                                                  QStringLiteral("sync-collection")}));
    EXPECT_TRUE(jane.etag.isEmpty());
    EXPECT_EQ(answer.responses[3].status, 507);
    EXPECT_EQ(answer.syncToken, QStringLiteral("http://example.org/sync/3"));
}

// What is not a plain multistatus is refused, with a reason; only one
// that ends early is told as cut off.
TEST(Multistatus, RefusesWhatIsNotAPlainMultistatus) {
    const QByteArray whole =
        "<multistatus xmlns=\"DAV:\"><response><href>/a.vcf</href></response></multistatus>";
    const QByteArray cut = whole.left(whole.size() / 2);
    for (const QByteArray& text :
         {// Entity expansion needs a DTD, which is refused outright.
          QByteArray("<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                     "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><multistatus xmlns=\"DAV:\"><response>"
                     "<href>&b;</href></response></multistatus>"),
          QByteArray("<multistatus xmlns=\"DAV:\"><href>&undefined;</href></multistatus>"),
          QByteArray("<multistatus><response/></multistatus>"),  // not in the DAV: namespace
          QByteArray("<html><body>Login</body></html>"), whole + "<x/>", cut}) {
        SCOPED_TRACE(text.toStdString());
        Multistatus out;
        QString error;
        bool cutOff = text != cut;
        EXPECT_FALSE(ParseMultistatus(text, out, error, &cutOff));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(cutOff, text == cut);
    }
    Multistatus out;
    QString error;
    bool cutOff = true;
    EXPECT_FALSE(ParseMultistatus(QByteArray(), out, error));
    EXPECT_TRUE(ParseMultistatus(whole, out, error, &cutOff));
    EXPECT_FALSE(cutOff);
}

}  // namespace
}  // namespace carddav
