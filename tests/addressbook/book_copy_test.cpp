// Copying a plain book on two threads writes exactly what opening and saving
// it writes; books it cannot copy exactly are left to that route, and a
// refused book leaves the target as it was, with nothing beside it.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "addressbook/book_copy.h"
#include "addressbook/book_file.h"
#include "addressbook/vector_address_list.h"
#include "support/book_generator.h"
#include "support/temp_folder.h"

namespace addressbook {
namespace {

using testsupport::ReadText;
using testsupport::TempFolder;
using testsupport::WriteText;

const std::string kLink =
    "carddav('Url' = \"https://dav.example/book/\", 'SyncToken' = \"7\").\n\n";
const std::string kOne = "contact('LastName' = \"Doe\", 'FirstName' = \"Jane\").\n\n";

// What opening `in` and saving it as `out` writes.
std::string OpenedAndSaved(const std::string& in, const std::string& out) {
    clausedb::CExprDatabase db;
    StagedEntries staged;
    EXPECT_TRUE(ReadBook(db, in, staged));
    std::optional<CExtraData> link = std::move(staged.link);
    VectorAddressList list;
    LoadEntries(staged, list);
    EXPECT_TRUE(SaveBook(list, db, out, link ? &*link : nullptr));
    return ReadText(out);
}

TEST(BookCopy, WritesWhatOpeningAndSavingWriteOrLeavesTheBookToThatRoute) {
    // 20,000 contacts make many batches of the hand-over queue.
    const std::string many = bench::MakeBookText(20000, 5, false);
    const struct {
        const char* name;
        std::string text;
        BookRead expected;
    } cases[] = {
        {"plain", many, BookRead::kRead},
        {"link first, other clauses, a word value",
         kLink + "group(1).\n" + many + "contact('LastName' = doe).\nnote(x).\n" + kLink,
         BookRead::kRead},
        {"CR LF", bench::MakeBookText(300, 6, true), BookRead::kRead},
        {"empty", "", BookRead::kRead},
        {"link only", kLink, BookRead::kRead},
        {"link after a contact", many + kLink, BookRead::kNotPlain},
        {"extra data", many + "contact('LastName' = \"X\", 'Birthday' = \"1970\").\n",
         BookRead::kNotPlain},
        {"Latin-1", kOne + "contact('LastName' = \"M\xFCller\").\n", BookRead::kNotPlain},
        {"syntax error", many + "contact('LastName' = ).\n", BookRead::kRefused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        WriteText(folder.File("in.qxd"), c.text);
        WriteText(folder.File("out.qxd"), "old");
        clausedb::CExprDatabase readDb;
        clausedb::CExprDatabase writeDb;
        clausedb::ParseErrors errors;
        bool saved = false;
        const BookRead read = CopyPlainBook(readDb, writeDb, folder.File("in.qxd"),
                                            folder.File("out.qxd"), &errors, saved);
        EXPECT_EQ(read, c.expected);
        EXPECT_EQ(saved, read == BookRead::kRead);
        EXPECT_EQ(errors.Errors().empty(), read != BookRead::kRefused);
        EXPECT_EQ(folder.Names(), (std::set<std::string>{"in.qxd", "out.qxd"}));
        if (read == BookRead::kRead) {
            EXPECT_EQ(ReadText(folder.File("out.qxd")),
                      OpenedAndSaved(folder.File("in.qxd"), folder.File("again.qxd")));
        } else {
            EXPECT_EQ(ReadText(folder.File("out.qxd")), "old");
        }
    }
}

TEST(BookCopy, AFailedWriteIsToldAndLeavesNoFile) {
    TempFolder folder;
    WriteText(folder.File("in.qxd"), bench::MakeBookText(5000, 7, false));
    clausedb::CExprDatabase readDb;
    clausedb::CExprDatabase writeDb;
    bool saved = true;
    EXPECT_EQ(CopyPlainBook(readDb, writeDb, folder.File("in.qxd"), folder.File("missing/out.qxd"),
                            nullptr, saved),
              BookRead::kRead);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(writeDb.LastFileError().empty());
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"in.qxd"}));
}

}  // namespace
}  // namespace addressbook
