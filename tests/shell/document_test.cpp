// The document: the steps of New, Open and Save, the last-book memory, the
// status texts and the reasons given for failures.
#include <gtest/gtest.h>

#include <QCursor>
#include <QFile>

#include <vector>

#include "document/qx32_doc.h"
#include "fileio/atomic_file.h"
#include "platform/app_services.h"
#include "platform/profile.h"
#include "resources/string_table.h"
#include "shell_test_support.h"

namespace shell::testing {
namespace {

class DocumentTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        platform::SetStatusTextSink([this](int id) { m_statusIds.push_back(id); });
        m_doc = std::make_unique<document::CQX32Doc>(m_profile);
        m_doc->SetAddressList(&m_list);
    }
    void TearDown() override {
        platform::SetStatusTextSink(nullptr);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        ShellFixture::TearDown();
    }
    void AddEntry(const std::string& lastName) {
        auto entry = std::make_unique<addressbook::CAddressEntry>();
        entry->SetField(0, lastName);
        m_list.AppendEntry(std::move(entry));
    }
    std::string BookInUse() const { return m_profile.GetString("AddressBookInUse", "File"); }

    platform::MemoryProfile m_profile;
    addressbook::VectorAddressList m_list;
    std::unique_ptr<document::CQX32Doc> m_doc;
    std::vector<int> m_statusIds;
};

TEST_F(DocumentTest, SaveThenOpenRoundTripsAndRemembersTheBook) {
    AddEntry("Doe");
    AddEntry("Roe");
    m_doc->SetModifiedFlag(true);
    const QString path = Path("home.qxd");
    ASSERT_TRUE(m_doc->OnSaveDocument(path));
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_EQ(BookInUse(), path.toStdString());
    EXPECT_EQ(m_doc->Database().CountClauses(), 0);
    EXPECT_EQ(m_statusIds,
              (std::vector<int>{resources::kStrSavingBook, resources::kStrIdleMessage}));

    m_statusIds.clear();
    ASSERT_TRUE(m_doc->OnOpenDocument(path));
    // The entries wait for the view's initial update; no clause is kept.
    EXPECT_EQ(m_doc->Staged().entries.size(), 2u);
    EXPECT_EQ(m_doc->Database().CountClauses(), 0);
    EXPECT_EQ(m_statusIds, (std::vector<int>{resources::kStrLoadingBook}));

    // New keeps the memory of the last book.
    ASSERT_TRUE(m_doc->OnNewDocument());
    EXPECT_TRUE(m_doc->Staged().entries.empty());
    EXPECT_EQ(BookInUse(), path.toStdString());
}

TEST_F(DocumentTest, SavingAnEmptyListWritesNoContact) {
    const QString path = Path("empty.qxd");
    ASSERT_TRUE(m_doc->OnSaveDocument(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("contact"));
    ASSERT_TRUE(m_doc->OnOpenDocument(path));
    EXPECT_EQ(m_doc->Database().CountClauses(), 0);
}

TEST_F(DocumentTest, FailedOpenSaysWhyAndLeavesNothingBehind) {
    ASSERT_TRUE(WriteText(Path("bad.qxd"),
                          "contact('LastName' = \"Doe\").\n"
                          "contact('LastName' = \"Roe\",\n"
                          "  'FirstName' \"Jim\").\n"));
    ASSERT_TRUE(WriteText(Path("twice.qxd"),
                          "contact('A' = \"x\" \"y\").\n"
                          "contact(.\n"));
    m_profile.SetString("AddressBookInUse", "File", "/before.qxd");
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"bad.qxd", "Line 3: syntax error"},
        {"twice.qxd", "Line 1: syntax error"},
        {"missing.qxd", "No such file or directory"},
    };
    for (const Case& c : cases) {
        m_statusIds.clear();
        EXPECT_FALSE(m_doc->OnOpenDocument(Path(c.name))) << c.name;
        // The message around the reason names the book; the reason does not.
        EXPECT_EQ(m_doc->FailureReason(), c.reason) << c.name;
        EXPECT_EQ(m_doc->Database().CountClauses(), 0) << c.name;
        EXPECT_EQ(m_statusIds,
                  (std::vector<int>{resources::kStrLoadingBook, resources::kStrIdleMessage}));
    }
    EXPECT_EQ(BookInUse(), "/before.qxd");
}

TEST_F(DocumentTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    AddEntry("Doe");
    const QString path = Path("home.qxd");
    ASSERT_TRUE(WriteText(path, "contact('LastName' = \"Old\").\n"));
    m_profile.SetString("AddressBookInUse", "File", "/before.qxd");
    m_doc->SetModifiedFlag(true);

    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(10);
    EXPECT_FALSE(m_doc->OnSaveDocument(path));
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_FALSE(m_doc->FailureReason().isEmpty());
    EXPECT_EQ(BookInUse(), "/before.qxd");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "contact('LastName' = \"Old\").\n");

    EXPECT_EQ(m_doc->FailureReason(), "No space left on device");

    // A folder that does not exist: the system's reason, without the path
    // that the message around it names.
    EXPECT_FALSE(m_doc->OnSaveDocument(Path("no/such/folder/home.qxd")));
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(m_doc->FailureReason(), "No such file or directory");
}

}  // namespace
}  // namespace shell::testing
