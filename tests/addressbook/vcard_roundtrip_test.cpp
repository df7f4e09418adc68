// Round trips: random entries with extra data through the book file, vCard
// export and import (3.0 and 4.0) and the editor's copy; and every golden
// vCard file imported and exported again, property by property.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "addressbook/entry_identity.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "test_support.h"

namespace addressbook {
namespace {

class RandomEntries {
public:
    explicit RandomEntries(unsigned seed) : m_random(seed) {}

    CAddressEntry Next() {
        CAddressEntry entry;
        for (int field = 0; field < kFieldCount; ++field) {
            if (Chance(40)) {
                entry.SetField(field, Text(field));
            }
        }
        CExtraDataBuilder extra;
        if (Chance(50)) {
            extra.AddStringAttribute(kUidAttribute, "uid-" + std::to_string(m_random()));
        }
        // Forms the import makes again from their own export.
        if (Chance(30)) {
            extra.AddStringAttribute(vcard::kFormAttribute,
                                     "N:{LastName};{FirstName};{MiddleInitial};{Title};Jr.");
        }
        if (Chance(30)) {
            extra.AddStringAttribute(
                vcard::kFormAttribute,
                "ADR;TYPE=HOME:PO Box 7;{Address2};{Address1};{City};{State};{ZipCode};{Country}");
        }
        if (!entry.GetField(Email1).empty() && Chance(30)) {
            extra.AddStringAttribute(vcard::kFormAttribute, "item1.EMAIL;TYPE=INTERNET:{Email1}");
        }
        for (int n = static_cast<int>(m_random() % 4); n > 0; --n) {
            static const char* const kLines[] = {
                "BDAY:1980-04-01",  "item1.X-ABLabel:",   "NICKNAME:",
                "X-FOO;TYPE=a,b:",  "CATEGORIES:a,b\\,c", "PHOTO;ENCODING=b;TYPE=JPEG:AAECAw==",
                "ROLE;LANGUAGE=fr:"};
            std::string line = kLines[m_random() % std::size(kLines)];
            if (line.back() == ':') {
                line += vcard::EscapeText(Text(Notes)) + "x";
            }
            extra.AddStringAttribute(vcard::kPropertyAttribute, line);
        }
        entry.SetExtra(extra.Build());
        return entry;
    }

    // A book-only extra: attributes of a later version, of any kind.
    void AddBookExtras(CAddressEntry& entry) {
        CExtraDataBuilder extra;
        for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
            extra.AddTerm(term);
        }
        clausedb::CExprDatabase db;
        clausedb::CExprStore& store = db.Store();
        clausedb::CExprTerm list = store.NewList();
        list.AddElement(store.NewInteger(static_cast<std::int32_t>(m_random())));
        list.AddElement(store.NewReal(2.5f));
        list.AddElement(store.NewWord("later"));
        clausedb::CExprTerm pair = store.NewList();
        pair.AddElement(store.NewWord("="));
        pair.AddElement(store.NewWord("Rank"));
        pair.AddElement(list);
        extra.AddTerm(pair);
        extra.AddStringAttribute("SyncTag", "etag-1");
        entry.SetExtra(extra.Build());
    }

private:
    bool Chance(unsigned percent) { return m_random() % 100 < percent; }

    // Texts as people type them: phones of digits, extensions of digits,
    // web addresses without backslashes, notes with paragraph marks, and
    // otherwise any character but line breaks.
    std::string Text(int field) {
        static const char* const kAny[] = {"a", "Z",  " ", ",",  ";", "\\", ":",
                                           "{", "\"", "é", "中", "😀", "-",  "x"};
        static const char* const kPhone[] = {"0", "1", "5", "9", " ", "+", "-", "(", ")"};
        static const char* const kWeb[] = {"h", "t", "p", ":", "/", ".", ",", ";", "?", "=", "é"};
        const int length = 1 + static_cast<int>(m_random() % 12);
        std::string text;
        for (int i = 0; i < length; ++i) {
            switch (field) {
                case HomePhone:
                case WorkPhone:
                case CellPhone:
                case Pager:
                case FaxPhone:
                    text += i == 0 ? "5" : kPhone[m_random() % std::size(kPhone)];
                    break;
                case HomeExt:
                case WorkExt:
                case CellExt:
                case PagerExt:
                case FaxExt:
                    text += static_cast<char>('0' + m_random() % 10);
                    break;
                case Web1:
                case Web2:
                    text += kWeb[m_random() % std::size(kWeb)];
                    break;
                case Notes:
                    text += Chance(10) ? "<p>" : kAny[m_random() % std::size(kAny)];
                    break;
                default:
                    text += kAny[m_random() % std::size(kAny)];
            }
        }
        if (field >= HomePhone && field <= FaxExt) {
            while (text.back() == ' ') {
                text.pop_back();  // a number does not end in a blank
            }
        }
        return text;
    }

    std::mt19937 m_random;
};

VectorAddressList RandomList(unsigned seed, int count, bool bookExtras) {
    RandomEntries random(seed);
    VectorAddressList list;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<CAddressEntry>(random.Next());
        if (bookExtras) {
            random.AddBookExtras(*entry);
        }
        list.AppendEntry(std::move(entry));
    }
    return list;
}

// The extra data, one attribute a line.
std::string ExtraText(const CAddressEntry& entry) {
    std::string text;
    for (int i = 0; i < kFieldCount; ++i) {
        text += std::string(FieldAt(i).attribute) + ": " + std::string(entry.GetField(i)) + "\n";
    }
    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
        text += std::string(term.Name()) + " = " + std::string(term.Value().Text()) + "\n";
    }
    return text;
}

void ExpectSameEntries(const VectorAddressList& actual, const VectorAddressList& expected,
                       const std::string& what) {
    ASSERT_EQ(actual.RowCount(), expected.RowCount()) << what;
    for (int row = 0; row < expected.RowCount(); ++row) {
        if (!(actual.EntryAt(row) == expected.EntryAt(row))) {
            ADD_FAILURE() << what << ", row " << row << ":\n"
                          << VCardText(actual.EntryAt(row), vcard::Version::V30, "")
                          << ExtraText(actual.EntryAt(row)) << "expected\n"
                          << VCardText(expected.EntryAt(row), vcard::Version::V30, "")
                          << ExtraText(expected.EntryAt(row));
            return;
        }
    }
}

TEST(VCardRoundTrip, RandomEntriesSurviveTheBookFile) {
    testing::TempDir dir;
    const std::string path = dir.File("book.qxd");
    const VectorAddressList list = RandomList(7, 300, true);
    clausedb::CExprDatabase db;
    ASSERT_TRUE(SaveBook(list, db, path));
    StagedEntries staged;
    ASSERT_TRUE(ReadBook(db, path, staged));
    VectorAddressList read;
    LoadEntries(staged, read);
    ExpectSameEntries(read, list, "save and open");
}

TEST(VCardRoundTrip, RandomEntriesSurviveExportAndImport) {
    testing::TempDir dir;
    for (const vcard::Version version : {vcard::Version::V30, vcard::Version::V40}) {
        VectorAddressList list = RandomList(version == vcard::Version::V30 ? 11 : 12, 300, false);
        const std::string path = dir.File("cards.vcf");
        ASSERT_EQ(ExportVCardFile(list, version, path), 300);
        // The window keeps the UIDs the export gave.
        const std::vector<std::string> uids = ExportUids(list);
        for (int row = 0; row < list.RowCount(); ++row) {
            SetEntryUid(list.MutableEntryAt(row), uids[static_cast<std::size_t>(row)]);
        }
        StagedEntries staged;
        VCardImportReport report;
        ASSERT_EQ(ImportVCardEntries(path, staged, report), 300);
        EXPECT_TRUE(report.problems.Empty());
        VectorAddressList read;
        LoadEntries(staged, read);
        ExpectSameEntries(read, list, version == vcard::Version::V30 ? "3.0" : "4.0");
    }
}

TEST(VCardRoundTrip, CopiesKeepEverythingButTheIdentity) {
    const VectorAddressList list = RandomList(13, 100, true);
    for (int row = 0; row < list.RowCount(); ++row) {
        const CAddressEntry& entry = list.EntryAt(row);
        const CAddressEntry copy = CopyWithoutIdentity(entry);
        EXPECT_FALSE(EntryUid(copy));
        EXPECT_FALSE(copy.Extra().FindText("SyncTag"));
        // The rest is the same: the entry without its identity.
        CAddressEntry expected = entry;
        expected.SetExtra(WithoutAttributes(entry.Extra(), [](std::string_view name) {
            return name == "UID" || name == "SyncTag";
        }));
        EXPECT_EQ(copy, expected);
        // A copy's card differs from the original's in its UID only.
        std::string original = VCardText(entry, vcard::Version::V30, "u");
        std::string copied = VCardText(copy, vcard::Version::V30, "u");
        if (const auto uid = EntryUid(entry)) {
            const std::string line = "UID:" + vcard::EscapeText(*uid);
            original.replace(original.find(line), line.size(), "UID:u");
        }
        EXPECT_EQ(copied, original);
    }
}

// The properties of each card, as the reader gives them.
std::vector<std::vector<vcard::Property>> CardsOf(const std::string& path) {
    std::vector<std::vector<vcard::Property>> cards;
    vcard::CVCardReader reader;
    EXPECT_TRUE(reader.ReadFile(
        path, [&](vcard::Card& card) { cards.push_back(std::move(card.properties)); }));
    return cards;
}

bool Holds(const std::vector<vcard::Property>& card, std::string_view name) {
    return std::any_of(card.begin(), card.end(), [&](const vcard::Property& p) {
        return p.Is(name) &&
               vcard::UnescapeText(p.value).find_first_not_of(';') != std::string::npos;
    });
}

// Every golden file imported and exported again has the same properties
// with the same values: what the export adds is VERSION, PRODID, and the
// N, FN and UID a card may lack.
TEST(VCardRoundTrip, GoldenFilesKeepEveryProperty) {
    testing::TempDir dir;
    for (const auto& file : std::filesystem::directory_iterator(QUILLBOX_TEST_DATA_DIR "/vcard")) {
        if (file.path().extension() != ".vcf") {
            continue;
        }
        StagedEntries staged;
        VCardImportReport report;
        if (ImportVCardEntries(file.path().string(), staged, report) <= 0) {
            continue;
        }
        VectorAddressList list;
        LoadEntries(staged, list);
        const std::string exported = dir.File("again.vcf");
        ASSERT_EQ(ExportVCardFile(list, vcard::Version::V30, exported), list.RowCount());
        const auto before = CardsOf(file.path().string());
        const auto after = CardsOf(exported);
        ASSERT_EQ(before.size(), after.size()) << file.path();
        for (std::size_t c = 0; c < before.size(); ++c) {
            std::vector<vcard::Property> left = after[c];
            for (const vcard::Property& p : before[c]) {
                if (p.Is("VERSION") || p.Is("PRODID") ||
                    vcard::UnescapeText(p.value).find_first_not_of(';') == std::string::npos) {
                    continue;  // the export writes its own; empty ones hold nothing
                }
                const auto same = std::find_if(left.begin(), left.end(), [&](const auto& q) {
                    return vcard::SameProperty(p, q);
                });
                if (same == left.end()) {
                    ADD_FAILURE() << file.path() << " card " << c << " lost "
                                  << vcard::FormatContentLine(p);
                } else {
                    left.erase(same);
                }
            }
            for (const vcard::Property& q : left) {
                const bool added =
                    q.Is("VERSION") || q.Is("PRODID") ||
                    (!Holds(before[c], q.name) && (q.Is("N") || q.Is("FN") || q.Is("UID")));
                EXPECT_TRUE(added)
                    << file.path() << " card " << c << " gained " << vcard::FormatContentLine(q);
            }
        }
    }
}

}  // namespace
}  // namespace addressbook
