// quillbox-tool sync: the password from the environment or a private file,
// the summary on standard output, the book saved with its link, and the
// exit statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include "carddav_server.h"
#include "support/temp_folder.h"

namespace carddav::testing {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const QStringList& arguments, const QString& password = QString()) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QUILLBOX_PASSWORD"));
    if (!password.isEmpty()) {
        environment.insert(QStringLiteral("QUILLBOX_PASSWORD"), password);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLBOX_TOOL), QStringList{QStringLiteral("sync")} + arguments);
    process.waitForFinished(120000);
    return ToolRun{process.exitCode(), process.readAllStandardOutput().toStdString(),
                   process.readAllStandardError().toStdString()};
}

const char kBook[] = "contact('LastName' = \"Doe\", 'FirstName' = \"Jane\").\n";

TEST(ToolSync, SyncsABookAndKeepsItsLink) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Tool"));
    server.PutCard("john.vcf", CardText("john", "Roe", "John", "555-0101"));
    testsupport::TempFolder dir;
    const std::string book = dir.File("book.qxd");
    testsupport::WriteText(book, kBook);
    const QString path = QString::fromStdString(book);

    const ToolRun first = RunTool({QStringLiteral("--url"), server.Url().toString(),
                                   QStringLiteral("--user"), account.user, path},
                                  account.password);
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "Synchronized with Tool: 1 received, 1 sent, 0 deleted, 0 conflicts.\n");
    const std::string saved = testsupport::ReadText(book);
    EXPECT_EQ(saved.rfind("carddav('Url' = \"" + server.Url().toString().toStdString() + "\"", 0),
              0u)
        << saved;
    EXPECT_EQ(saved.find(account.password.toStdString()), std::string::npos);
    EXPECT_NE(saved.find("'LastName' = \"Roe\""), std::string::npos);

    // Linked now: the URL and the user come from the book; the password
    // from a file only its owner reads.
    const std::string passwordFile = dir.File("password");
    testsupport::WriteText(passwordFile, account.password.toStdString() + "\n");
    chmod(passwordFile.c_str(), 0644);
    const ToolRun open =
        RunTool({QStringLiteral("--password-file"), QString::fromStdString(passwordFile), path});
    EXPECT_EQ(open.exitCode, 2);
    EXPECT_NE(open.err.find("chmod 600"), std::string::npos) << open.err;
    chmod(passwordFile.c_str(), 0600);
    const ToolRun second =
        RunTool({QStringLiteral("--password-file"), QString::fromStdString(passwordFile), path});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "Synchronized with Tool: 0 received, 0 sent, 0 deleted, 0 conflicts.\n");
}

TEST(ToolSync, ExitStatusesSayWhoRefused) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Statuses"));
    testsupport::TempFolder dir;
    const std::string book = dir.File("book.qxd");
    testsupport::WriteText(book, kBook);
    const QString path = QString::fromStdString(book);
    const QStringList url = {QStringLiteral("--url"), server.Url().toString(),
                             QStringLiteral("--user"), account.user, path};

    const ToolRun wrong = RunTool(url, QStringLiteral("not the password"));
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_NE(wrong.err.find("user name or password (HTTP 401)"), std::string::npos) << wrong.err;
    EXPECT_EQ(testsupport::ReadText(book), kBook) << "the book is left as it was";

    QUrl nowhere = server.Url();
    nowhere.setPort(1);
    const ToolRun down = RunTool(
        {QStringLiteral("--url"), nowhere.toString(), QStringLiteral("--user"), account.user, path},
        account.password);
    EXPECT_EQ(down.exitCode, 2);
    EXPECT_NE(down.err.find("refused the connection"), std::string::npos) << down.err;

    const ToolRun plain = RunTool({QStringLiteral("--url"), QStringLiteral("http://example.org/"),
                                   QStringLiteral("--user"), account.user, path},
                                  account.password);
    EXPECT_EQ(plain.exitCode, 2);
    EXPECT_NE(plain.err.find("not encrypted"), std::string::npos) << plain.err;

    const ToolRun noLink = RunTool({path}, account.password);
    EXPECT_EQ(noLink.exitCode, 2);
    EXPECT_NE(noLink.err.find("not linked"), std::string::npos) << noLink.err;

    const ToolRun noPassword = RunTool(url);
    EXPECT_EQ(noPassword.exitCode, 2);
    EXPECT_NE(noPassword.err.find("QUILLBOX_PASSWORD"), std::string::npos);
}

// A server whose certificate this machine does not trust: refused with the
// certificate's subject, issuer and fingerprint shown, the book untouched;
// trusted only when that very fingerprint is given.
TEST(ToolSync, AnUntrustedCertificateIsShownAndTrustedOnlyWhenGiven) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Certificate"));
    server.PutCard("john.vcf", CardText("john", "Roe", "John", "555-0101"));
    TlsProxy tls(server.Url());
    const QUrl url = tls.Through(server.Url());
    testsupport::TempFolder dir;
    const std::string book = dir.File("book.qxd");
    testsupport::WriteText(book, kBook);
    const QStringList arguments = {QStringLiteral("--url"), url.toString(),
                                   QStringLiteral("--user"), account.user,
                                   QString::fromStdString(book)};

    const ToolRun refused = RunTool(arguments, account.password);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("Issued to: Quillbox Test Server"), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("Issued by: Quillbox Test Server"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find(account.password.toStdString()), std::string::npos);
    EXPECT_EQ(testsupport::ReadText(book), kBook);
    const QRegularExpressionMatch digest =
        QRegularExpression(QStringLiteral("--accept-certificate ([0-9A-F:]{95})"))
            .match(QString::fromStdString(refused.err));
    ASSERT_TRUE(digest.hasMatch()) << refused.err;

    QString other = digest.captured(1);
    other[0] = other[0] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    const ToolRun wrongDigest = RunTool(
        arguments + QStringList{QStringLiteral("--accept-certificate"), other}, account.password);
    EXPECT_EQ(wrongDigest.exitCode, 2) << wrongDigest.out;
    EXPECT_EQ(testsupport::ReadText(book), kBook);

    const ToolRun trusted =
        RunTool(arguments + QStringList{QStringLiteral("--accept-certificate"), digest.captured(1)},
                account.password);
    EXPECT_EQ(trusted.exitCode, 0) << trusted.err;
    EXPECT_EQ(trusted.out,
              "Synchronized with Certificate: 1 received, 1 sent, 0 deleted, 0 conflicts.\n");
}

}  // namespace
}  // namespace carddav::testing
