// quillbox-tool sync: the password from the environment or a private file,
// the summary on standard output, the book saved with its link, the exit
// statuses, and a certificate this machine does not trust.
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
    int exitCode;
    std::string out, err;
};

// quillbox-tool sync `arguments`, with QUILLBOX_PASSWORD unless `password` is empty.
ToolRun RunTool(const QStringList& arguments, const QString& password) {
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

// An unlinked book of one contact, in a folder of its own.
struct Book {
    testsupport::TempFolder dir;
    std::string file = dir.File("book.qxd");
    QString path = QString::fromStdString(file);
    Book() { testsupport::WriteText(file, kBook); }
    // The arguments that link it to `url`.
    QStringList LinkTo(const QUrl& url, const QString& user) const {
        return {QStringLiteral("--url"), url.toString(), QStringLiteral("--user"), user, path};
    }
};

// Exit status 1 when the server refused, 2 for any other failure, with the
// book left as it was; once linked, the book names the address book and
// the user, and the password may come from a file only its owner reads.
TEST(ToolSync, ExitStatusesLinkAndCertificate) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Tool"));
    server.PutCard("john.vcf", CardText("john", "Roe", "John", "555-0101"));
    Book book;
    const QStringList linked = book.LinkTo(server.Url(), account.user);
    const std::string shared = book.dir.File("shared"), own = book.dir.File("own");
    for (const auto& [file, mode] : {std::pair{shared, 0644}, std::pair{own, 0600}}) {
        testsupport::WriteText(file, account.password.toStdString() + "\n");
        chmod(file.c_str(), mode);
    }
    const auto fromFile = [&](const std::string& file) {
        return QStringList{QStringLiteral("--password-file"), QString::fromStdString(file),
                           book.path};
    };
    const struct {
        QStringList arguments;
        QString password;
        int exitCode;
        std::string says;
    } runs[] = {
        {linked, QStringLiteral("not the password"), 1, "user name or password (HTTP 401)"},
        {{book.path}, account.password, 2, "not linked"},
        {linked, QString(), 2, "QUILLBOX_PASSWORD"},
        {linked, account.password, 0,
         "Synchronized with Tool: 1 received, 1 sent, 0 deleted, 0 conflicts.\n"},
        {fromFile(shared), QString(), 2, "chmod 600"},
        {fromFile(own), QString(), 0,
         "Synchronized with Tool: 0 received, 0 sent, 0 deleted, 0 conflicts.\n"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.says);
        const std::string before = testsupport::ReadText(book.file);
        const ToolRun result = RunTool(run.arguments, run.password);
        EXPECT_EQ(result.exitCode, run.exitCode);
        // The summary on standard output, a failure on standard error.
        EXPECT_NE((run.exitCode == 0 ? result.out : result.err).find(run.says), std::string::npos)
            << result.err;
        if (run.exitCode != 0) {
            EXPECT_EQ(testsupport::ReadText(book.file), before) << "the book is left as it was";
        }
    }
    const std::string saved = testsupport::ReadText(book.file);
    EXPECT_TRUE(saved.starts_with("carddav('Url' = \"" + server.Url().toString().toStdString()))
        << saved;
    EXPECT_EQ(saved.find(account.password.toStdString()), std::string::npos);
    EXPECT_NE(saved.find("'LastName' = \"Roe\""), std::string::npos);

    // A server whose certificate this machine does not trust: refused with
    // the fingerprint shown and the book untouched; trusted only when that
    // very fingerprint is given.
    TlsProxy tls(server.Url());
    const QStringList arguments = book.LinkTo(tls.Through(server.Url()), account.user);
    const ToolRun refused = RunTool(arguments, account.password);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("Issued to: Quillbox Test Server"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find(account.password.toStdString()), std::string::npos);
    const QString digest =
        QRegularExpression(QStringLiteral("--accept-certificate ([0-9A-F:]{95})"))
            .match(QString::fromStdString(refused.err))
            .captured(1);
    ASSERT_FALSE(digest.isEmpty()) << refused.err;
    const QString other = QString(digest).replace(0, 1, digest[0] == 'A' ? "B" : "A");
    const QString accept = QStringLiteral("--accept-certificate");
    EXPECT_EQ(RunTool(arguments + QStringList{accept, other}, account.password).exitCode, 2);
    EXPECT_EQ(testsupport::ReadText(book.file), saved);
    EXPECT_EQ(RunTool(arguments + QStringList{accept, digest}, account.password).exitCode, 0);
    EXPECT_NE(testsupport::ReadText(book.file), saved);
}

}  // namespace
}  // namespace carddav::testing
