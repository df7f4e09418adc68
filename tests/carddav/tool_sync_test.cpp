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

// An unlinked book of one contact in a folder of its own.
struct Book {
    testsupport::TempFolder dir;
    std::string file = dir.File("book.qxd");
    QString path = QString::fromStdString(file);
    Book() { testsupport::WriteText(file, kBook); }
};

QStringList Link(const QString& url, const QString& user, const QString& path) {
    return {QStringLiteral("--url"), url, QStringLiteral("--user"), user, path};
}

TEST(ToolSync, SyncsABookAndKeepsItsLink) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Tool"));
    server.PutCard("john.vcf", CardText("john", "Roe", "John", "555-0101"));
    Book book;
    const QString& path = book.path;
    const ToolRun first =
        RunTool(Link(server.Url().toString(), account.user, path), account.password);
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "Synchronized with Tool: 1 received, 1 sent, 0 deleted, 0 conflicts.\n");
    const std::string saved = testsupport::ReadText(book.file);
    EXPECT_EQ(saved.rfind("carddav('Url' = \"" + server.Url().toString().toStdString() + "\"", 0),
              0u)
        << saved;
    EXPECT_EQ(saved.find(account.password.toStdString()), std::string::npos);
    EXPECT_NE(saved.find("'LastName' = \"Roe\""), std::string::npos);

    // Linked now: the URL and the user come from the book; the password
    // from a file only its owner reads.
    const std::string passwordFile = book.dir.File("password");
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
    Book book;
    const QString& path = book.path;
    const QStringList url = Link(server.Url().toString(), account.user, path);

    QUrl nowhere = server.Url();
    nowhere.setPort(1);
    const struct {
        QStringList arguments;
        QString password;
        int exitCode;
        const char* says;
    } runs[] = {
        {url, QStringLiteral("not the password"), 1, "user name or password (HTTP 401)"},
        {Link(nowhere.toString(), account.user, path), account.password, 2,
         "refused the connection"},
        {Link(QStringLiteral("http://example.org/"), account.user, path), account.password, 2,
         "not encrypted"},
        {{path}, account.password, 2, "not linked"},
        {url, QString(), 2, "QUILLBOX_PASSWORD"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.says);
        const ToolRun result = RunTool(run.arguments, run.password);
        EXPECT_EQ(result.exitCode, run.exitCode);
        EXPECT_NE(result.err.find(run.says), std::string::npos) << result.err;
        EXPECT_EQ(testsupport::ReadText(book.file), kBook) << "the book is left as it was";
    }
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
    Book book;
    const QStringList arguments = Link(url.toString(), account.user, book.path);

    const ToolRun refused = RunTool(arguments, account.password);
    EXPECT_EQ(refused.exitCode, 2);
    for (const char* line :
         {"Issued to: Quillbox Test Server", "Issued by: Quillbox Test Server"}) {
        EXPECT_NE(refused.err.find(line), std::string::npos) << refused.err;
    }
    EXPECT_EQ(refused.err.find(account.password.toStdString()), std::string::npos);
    EXPECT_EQ(testsupport::ReadText(book.file), kBook);
    const QRegularExpressionMatch digest =
        QRegularExpression(QStringLiteral("--accept-certificate ([0-9A-F:]{95})"))
            .match(QString::fromStdString(refused.err));
    ASSERT_TRUE(digest.hasMatch()) << refused.err;

    QString other = digest.captured(1);
    other[0] = other[0] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    const ToolRun wrongDigest = RunTool(
        arguments + QStringList{QStringLiteral("--accept-certificate"), other}, account.password);
    EXPECT_EQ(wrongDigest.exitCode, 2) << wrongDigest.out;
    EXPECT_EQ(testsupport::ReadText(book.file), kBook);

    const ToolRun trusted =
        RunTool(arguments + QStringList{QStringLiteral("--accept-certificate"), digest.captured(1)},
                account.password);
    EXPECT_EQ(trusted.exitCode, 0) << trusted.err;
    EXPECT_EQ(trusted.out,
              "Synchronized with Certificate: 1 received, 1 sent, 0 deleted, 0 conflicts.\n");
}

}  // namespace
}  // namespace carddav::testing
