// Match keys, duplicate groups and merging without losing a value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addressbook/duplicate_finder.h"
#include "addressbook/duplicate_merge.h"
#include "addressbook/entry_identity.h"
#include "addressbook/existing_entries.h"
#include "addressbook/header_import.h"
#include "addressbook/match_keys.h"
#include "addressbook/row_subset_list.h"
#include "addressbook/vcard_import.h"
#include "addressbook/vcard_mapping.h"
#include "support/book_io.h"
#include "support/duplicate_books.h"
#include "test_support.h"

namespace addressbook {
namespace {

using testing::AppendEntries;
using testing::FieldValues;

TEST(MatchKeys, NamesIgnoreCaseAccentsSpacingAndOrder) {
    struct Case {
        const char* first;
        const char* last;
        const char* key;
    };
    const Case cases[] = {
        {"John", "Smith", "john smith"},
        {"  JOHN ", "smith", "john smith"},
        {"Smith,", "John", "john smith"},  // swapped, with a comma
        {"José", "Müller", "jose muller"},
        {"JOSÉ", "MÜLLER", "jose muller"},
        {"Jose\xCC\x81", "Mu\xCC\x88ller", "jose muller"},  // combining accents
        {"Łukasz", "Straße", "lukasz strasse"},
        {"Søren", "Ærø", "aero soren"},
        {"Œdipe", "Ĳssel", "ijssel oedipe"},
        {"Пётр", "ИВАНОВ", "иванов петр"},
        {"Mary Ann", "", "ann mary"},  // two words in one field are enough
        {"John", "", ""},              // one word says too little
        {"", "", ""},
        {"--", "Smith", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameKey(c.first, c.last), c.key) << c.first << " / " << c.last;
    }
}

TEST(MatchKeys, EmailAddresses) {
    EXPECT_EQ(EmailKey(" John.Smith@Example.COM "), "john.smith@example.com");
    EXPECT_EQ(EmailKey("mailto:ann@x.org"), "ann@x.org");
    EXPECT_EQ(EmailKey("n/a"), "");
    EXPECT_EQ(EmailKey("@example.com"), "");
    EXPECT_EQ(EmailKey("ann@"), "");
    EXPECT_EQ(EmailKey(""), "");
}

TEST(MatchKeys, PhoneNumbersWithAndWithoutCountryCode) {
    struct Case {
        const char* number;
        const char* key;
    };
    const Case cases[] = {
        {"555-123-4567", "5551234567"},
        {"+1 555 123 4567", "5551234567"},
        {"1 (555) 123-4567", "5551234567"},  // long-distance 1 of an 11-digit number
        {"001 555 123 4567", "5551234567"},
        {"(555) 123-4567 x12", "5551234567"},  // the extension is not the number
        {"+44 20 7946 0000", "2079460000"},
        {"+44 (0)20 7946 0000", "2079460000"},
        {"020 7946 0000", "2079460000"},
        {"0049 30 1234567", "301234567"},
        {"+353 1 234 5678", "12345678"},  // three-digit country code
        {"+7 495 123-45-67", "4951234567"},
        {"555 1234", "5551234"},
        {"12-345", ""},  // too short to tell people apart
        {"", ""},
        {"+", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PhoneKey(c.number), c.key) << c.number;
    }
    EXPECT_EQ(CountryCodeLength("1555"), 1);
    EXPECT_EQ(CountryCodeLength("4420"), 2);
    EXPECT_EQ(CountryCodeLength("4201"), 3);
    EXPECT_EQ(CountryCodeLength("8861"), 3);
    EXPECT_EQ(CountryCodeLength("0123"), 0);
    EXPECT_EQ(CountryCodeLength(""), 0);
}

TEST(MatchKeys, SameFieldValue) {
    EXPECT_TRUE(SameFieldValue(Email1, "Ann@X.org", "ann@x.org"));
    EXPECT_FALSE(SameFieldValue(Email2, "ann@x.org", "anne@x.org"));
    EXPECT_TRUE(SameFieldValue(HomePhone, "+1 555 123 4567", "555.123.4567"));
    EXPECT_FALSE(SameFieldValue(WorkPhone, "555 1234", "555 1235"));
    EXPECT_TRUE(SameFieldValue(FaxPhone, "12-34", "1234"));
    EXPECT_TRUE(SameFieldValue(LastName, "Müller", "MULLER"));
    EXPECT_TRUE(SameFieldValue(City, "New  York", "new york"));
    EXPECT_FALSE(SameFieldValue(City, "Zürich", "Zurich"));
    EXPECT_EQ(FoldCase("ÀÉÎ Straße İ Ÿ"), "àéî straße i ÿ");
}

// The groups of a table of entries, as lists of rows.
std::vector<std::vector<int>> Groups(const std::vector<FieldValues>& entries,
                                     std::vector<unsigned>* reasons = nullptr) {
    VectorAddressList list;
    AppendEntries(list, entries);
    std::vector<std::vector<int>> rows;
    for (const DuplicateGroup& group : FindDuplicates(list)) {
        rows.push_back(group.rows);
        if (reasons != nullptr) {
            reasons->push_back(group.reasons);
        }
    }
    return rows;
}

TEST(FindDuplicates, NearIdenticalEntriesFormGroups) {
    std::vector<unsigned> reasons;
    const auto groups = Groups(
        {
            {{FirstName, "John"}, {LastName, "Smith"}},                   // 0
            {{FirstName, "Ann"}, {LastName, "Lee"}},                      // 1
            {{FirstName, "SMITH"}, {LastName, " john "}},                 // 2: swapped
            {{FirstName, "José"}, {LastName, "García"}},                  // 3
            {{FirstName, "Jose"}, {LastName, "Garcia"}},                  // 4: no accents
            {{LastName, "Acme"}, {Email1, "Sales@Acme.example"}},         // 5
            {{LastName, "Acme Inc."}, {Email2, "sales@acme.EXAMPLE"}},    // 6: other slot
            {{FirstName, "Bo"}, {HomePhone, "+1 555 123 4567"}},          // 7
            {{FirstName, "Bob"}, {CellPhone, "(555) 123-4567"}},          // 8
            {{FirstName, "Ann"}, {LastName, "Leeds"}},                    // 9
            {{FirstName, "Eve"}, {WorkPhone, "555 987 6543"}},            // 10
            {{FirstName, "Eve"}, {Email1, "eve@x.example"}},              // 11
            {{FirstName, "E."}, {Email1, "EVE@x.example"}},               // 12
            {{FirstName, "E"}, {FaxPhone, "5559876543"}, {LastName, ""}}  // 13
        },
        &reasons);
    const std::vector<std::vector<int>> expected = {{0, 2}, {3, 4},   {5, 6},
                                                    {7, 8}, {10, 13}, {11, 12}};
    EXPECT_EQ(groups, expected);
    ASSERT_EQ(reasons.size(), expected.size());
    EXPECT_EQ(reasons[0], kMatchName);
    EXPECT_EQ(reasons[2], kMatchEmail);
    EXPECT_EQ(reasons[3], kMatchPhone);
}

TEST(FindDuplicates, EntriesThatMustNotMatch) {
    const auto groups = Groups({
        {{FirstName, "John"}, {LastName, "Smith"}},
        {{FirstName, "John"}, {LastName, "Doe"}},  // the same first name only
        {{FirstName, "John"}},                     // a first name alone
        {{FirstName, "John"}},
        {},  // empty entries
        {},
        {{Email1, "n/a"}},  // not addresses
        {{Email1, "n/a"}},
        {{HomePhone, "0"}},  // too short
        {{WorkPhone, "0"}},
        {{HomePhone, "555 123 4567"}},  // numbers that differ in one digit
        {{HomePhone, "555 123 4568"}},
        {{HomeExt, "12"}},  // extensions are not numbers
        {{WorkExt, "12"}},
    });
    EXPECT_TRUE(groups.empty());
}

// Different people behind one number or one mailbox stay apart, also when a
// nameless entry links them; an initial may stand for a first name.
TEST(FindDuplicates, SharedNumbersAndMailboxesDoNotJoinDifferentNames) {
    const auto groups = Groups({
        {{FirstName, "Ann"}, {LastName, "Lee"}, {WorkPhone, "555 100 2000"}},     // 0
        {{FirstName, "Bob"}, {LastName, "Ray"}, {WorkPhone, "+1 555 100 2000"}},  // 1
        {{FirstName, "Cy"}, {LastName, "Fox"}, {Email1, "home@fox.example"}},     // 2
        {{FirstName, "Di"}, {LastName, "Fox"}, {Email1, "HOME@fox.example"}},     // 3
        {{Company, "Fox"}, {Email2, "home@fox.example"}},                         // 4
        {{FirstName, "Ann"}, {LastName, "Lee"}, {HomePhone, "555 300 4000"}},     // 5
        {{FirstName, "A."}, {LastName, "Lee"}, {CellPhone, "555 300 4000"}},      // 6: initial
        {{FirstName, "Al"}, {LastName, "Lee"}, {Email1, "HOME@fox.example"}},     // 7
    });
    EXPECT_EQ(groups, (std::vector<std::vector<int>>{{0, 5, 6}, {2, 4}}));
}

TEST(FindDuplicates, MatchesChainIntoOneGroup) {
    std::vector<unsigned> reasons;
    const auto groups = Groups(
        {
            {{FirstName, "Ann"}, {LastName, "Lee"}, {Email1, "ann@x.example"}},
            {{FirstName, "Zed"}},
            {{Email2, "ANN@x.example"}, {HomePhone, "555 111 2222"}},
            {{CellPhone, "+1-555-111-2222"}},
        },
        &reasons);
    EXPECT_EQ(groups, (std::vector<std::vector<int>>{{0, 2, 3}}));
    EXPECT_EQ(reasons, (std::vector<unsigned>{kMatchEmail | kMatchPhone}));
}

// A generated book with 5% planted near copies: every copy of an entry that
// has a key lands in its original's group.
TEST(FindDuplicates, PlantedDoublesAreFound) {
    const bench::BookWithDoubles book = bench::MakeBookWithDoubles(3000, bench::kDefaultSeed, 50);
    ASSERT_GT(book.doubles.size(), 100u);
    VectorAddressList list;
    for (const bench::Contact& contact : book.contacts) {
        ASSERT_TRUE(
            list.AppendEntry(std::make_unique<CAddressEntry>(testsupport::EntryOf(contact))));
    }
    std::vector<int> groupOf(book.contacts.size(), -1);
    const std::vector<DuplicateGroup> groups = FindDuplicates(list);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (const int row : groups[g].rows) {
            groupOf[static_cast<std::size_t>(row)] = static_cast<int>(g);
        }
    }
    int checked = 0;
    for (const auto& [original, copy] : book.doubles) {
        if (MatchKeysOf(list.EntryAt(static_cast<int>(original))).empty()) {
            continue;
        }
        ++checked;
        EXPECT_GE(groupOf[original], 0) << original;
        EXPECT_EQ(groupOf[original], groupOf[copy]) << original << " " << copy;
    }
    EXPECT_GT(checked, 100);
}

TEST(FindDuplicates, DifferingFieldsCompareExactly) {
    VectorAddressList list;
    AppendEntries(list, {{{FirstName, "Ann"}, {LastName, "Lee"}, {City, "Oslo"}},
                         {{FirstName, "Ann"}, {LastName, "LEE"}, {City, "Oslo"}, {Notes, "x"}},
                         {{FirstName, "Ann"}, {LastName, "Lee"}, {City, "Oslo"}}});
    EXPECT_EQ(DifferingFields(list, {0, 1, 2}), (std::vector<int>{LastName, Notes}));
    EXPECT_EQ(DifferingFields(list, {0, 2}), (std::vector<int>{}));
}

// Entries for a merge, owned by the test.
class MergeTest : public ::testing::Test {
protected:
    std::vector<const CAddressEntry*> Entries(const std::vector<FieldValues>& rows) {
        AppendEntries(m_list, rows);
        std::vector<const CAddressEntry*> entries;
        for (int row = m_list.RowCount() - static_cast<int>(rows.size()); row < m_list.RowCount();
             ++row) {
            entries.push_back(&m_list.EntryAt(row));
        }
        return entries;
    }

    // The vCard properties an entry keeps in its extra data.
    static std::vector<std::string> Properties(const CAddressEntry& entry) {
        std::vector<std::string> lines;
        for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
            if (term.Kind() == ExtraKind::Pair && term.Name() == vcard::kPropertyAttribute) {
                lines.emplace_back(term.Value().Text());
            }
        }
        return lines;
    }

    VectorAddressList m_list;
};

TEST_F(MergeTest, DefaultsKeepEveryValue) {
    const auto entries = Entries({
        {{FirstName, "John"},
         {LastName, "Smith"},
         {Email1, "john@a.example"},
         {HomePhone, "555 123 4567"},
         {City, "Oslo"},
         {Notes, "met in 1999"}},
        {{FirstName, "Smith"},
         {LastName, "John"},
         {Email1, "JOHN@a.example"},
         {Email2, "js@b.example"},
         {HomePhone, "+1 555 123 4567"},
         {WorkPhone, "555 000 1111"},
         {WorkExt, "12"},
         {City, "Bergen"},
         {Company, "Acme"}},
        {{Email1, "john.smith@c.example"},
         {HomePhone, "555 222 3333"},
         {HomeExt, "7"},
         {Notes, "prefers e-mail"}},
    });
    const MergeValues values = DefaultMerge(entries);
    // The longer spelling of the same number, then the other home number in
    // the first free phone field with its extension.
    const FieldValues expected = {{FirstName, "John"},
                                  {LastName, "Smith"},
                                  {Email1, "john@a.example"},
                                  {Email2, "js@b.example"},
                                  {HomePhone, "+1 555 123 4567"},
                                  {HomeExt, ""},
                                  {WorkPhone, "555 000 1111"},
                                  {WorkExt, "12"},
                                  {CellPhone, "555 222 3333"},
                                  {CellExt, "7"},
                                  {Company, "Acme"}};
    for (const auto& [field, text] : expected) {
        EXPECT_EQ(values[static_cast<std::size_t>(field)], text) << FieldAt(field).attribute;
    }

    const CAddressEntry merged = MergeEntries(entries, values);
    EXPECT_EQ(merged.GetField(City), "Oslo");
    // What had no field left: the other notes in the notes; the second
    // address and the third e-mail address as the properties their cards
    // would hold, in field order.
    EXPECT_EQ(merged.GetField(Notes), "met in 1999<p>prefers e-mail");
    EXPECT_EQ(Properties(merged),
              (std::vector<std::string>{"ADR;TYPE=HOME:;;;Bergen;;;",
                                        "EMAIL;TYPE=INTERNET:john.smith@c.example"}));
}

TEST_F(MergeTest, ChosenValuesAndLeftovers) {
    const auto entries = Entries({
        {{FirstName, "Ann"}, {LastName, "Lee"}, {Email1, "ann@x.example"}, {Title, "Dr"}},
        {{FirstName, "Anne"}, {LastName, "Lee"}, {Email1, "lee@y.example"}},
    });
    MergeValues values = DefaultMerge(entries);
    EXPECT_EQ(values[Email2], "lee@y.example");
    EXPECT_EQ(MergeCandidates(entries, FirstName),
              (std::vector<std::string>{"Ann", "Anne", "Lee"}));
    EXPECT_EQ(MergeCandidates(entries, Email2),
              (std::vector<std::string>{"ann@x.example", "lee@y.example"}));
    values[FirstName] = "Anne";
    values[Email2].clear();
    values[Title].clear();
    const CAddressEntry merged = MergeEntries(entries, values);
    EXPECT_EQ(merged.GetField(FirstName), "Anne");
    EXPECT_EQ(merged.GetField(Email2), "");
    // A card holds one name and one title: those go to the notes.
    EXPECT_EQ(merged.GetField(Notes), "First Name: Ann<p>Title: Dr");
    EXPECT_EQ(Properties(merged), (std::vector<std::string>{"EMAIL;TYPE=INTERNET:lee@y.example"}));
}

TEST_F(MergeTest, KeepLeftoversAddsAPropertyOrANoteLineEach) {
    CAddressEntry entry;
    const Leftover first[] = {{Pager, "555 0101"}, {FirstName, "Ann"}};
    KeepLeftovers(entry, first);
    EXPECT_EQ(entry.GetField(Notes), "First Name: Ann");
    EXPECT_EQ(Properties(entry), (std::vector<std::string>{"TEL;TYPE=PAGER:555 0101"}));
    // The same property again is kept once; an extension alone has no
    // number to go with and becomes a note line.
    const Leftover more[] = {
        {Notes, "old notes"}, {Pager, "555 0101"}, {City, "Oslo"}, {HomeExt, "12"}};
    KeepLeftovers(entry, more);
    EXPECT_EQ(entry.GetField(Notes), "First Name: Ann<p>old notes<p>Home Ext.: 12");
    EXPECT_EQ(Properties(entry),
              (std::vector<std::string>{"TEL;TYPE=PAGER:555 0101", "ADR;TYPE=HOME:;;;Oslo;;;"}));
}

TEST_F(MergeTest, ExtraDataIsMergedWithOneIdentity) {
    const auto entries = Entries({
        {{FirstName, "Ann"}, {LastName, "Lee"}},
        {{FirstName, "Ann"}, {LastName, "Lee"}, {Email1, "ann@x.example"}},
        {{FirstName, "Ann"}, {LastName, "Lee"}},
    });
    std::vector<CAddressEntry> changed;
    const auto withExtra = [](const CAddressEntry* entry, std::string_view uid,
                              std::vector<std::string_view> lines) {
        CAddressEntry copy = *entry;
        CExtraDataBuilder extra;
        for (const std::string_view line : lines) {
            extra.AddStringAttribute(vcard::kPropertyAttribute, line);
        }
        copy.SetExtra(extra.Build());
        if (!uid.empty()) {
            SetEntryUid(copy, uid);
        }
        return copy;
    };
    changed.push_back(withExtra(entries[0], "", {"BDAY:1980-01-02"}));
    changed.push_back(withExtra(entries[1], "uid-b", {"BDAY:1980-01-02", "NICKNAME:Annie"}));
    changed.push_back(withExtra(entries[2], "uid-c", {"BDAY:1981-01-02"}));
    const std::vector<const CAddressEntry*> sources{&changed[0], &changed[1], &changed[2]};
    const CAddressEntry merged = MergeEntries(sources, DefaultMerge(sources));
    EXPECT_EQ(merged.GetField(Email1), "ann@x.example");
    // The first UID; each different property once, in entry order.
    EXPECT_EQ(EntryUid(merged), std::optional<std::string_view>("uid-b"));
    EXPECT_EQ(Properties(merged),
              (std::vector<std::string>{"BDAY:1980-01-02", "NICKNAME:Annie", "BDAY:1981-01-02"}));
    EXPECT_EQ(merged.GetField(Notes), "");
}

TEST(ExistingEntries, AnImportedEntryIsHeldWhenItMatchesOneOfTheBook) {
    VectorAddressList book;
    AppendEntries(book, {{{FirstName, "José"}, {LastName, "Müller"}},
                         {{FirstName, "Ann"}, {LastName, "Lee"}, {Email1, "ann@x.example"}},
                         {{Company, "Acme"}, {WorkPhone, "+1 555 123 4567"}},
                         {{FirstName, "Bo"}, {LastName, "Berg"}, {HomePhone, "555 999 0000"}}});
    CAddressEntry withUid;
    withUid.SetField(LastName, "Nobody");
    SetEntryUid(withUid, "uid-1");
    book.AppendEntry(std::make_unique<CAddressEntry>(withUid));
    const CExistingEntries existing(book);
    struct Case {
        FieldValues fields;
        const char* uid;
        bool held;
    };
    const Case cases[] = {
        {{{FirstName, "Muller,"}, {LastName, "jose"}}, "", true},  // swapped, accents
        {{{FirstName, "Anne"}, {LastName, "Other"}, {Email2, "ANN@x.example"}}, "", false},
        {{{FirstName, "A"}, {LastName, "Lee"}, {Email2, "ANN@x.example"}}, "", true},  // initial
        {{{LastName, "Someone"}, {HomePhone, "555 123 4567"}}, "", true},  // the holder is unnamed
        {{{FirstName, "Cy"}, {LastName, "Cole"}, {CellPhone, "555 999 0000"}}, "", false},
        {{{FirstName, "Ann"}}, "", false},           // first name only
        {{}, "", false},                             // nothing to match
        {{{LastName, "Elsewhere"}}, "uid-1", true},  // the same UID
        {{{LastName, "Elsewhere"}}, "uid-2", false},
    };
    for (const Case& c : cases) {
        CAddressEntry entry;
        for (const auto& [field, text] : c.fields) {
            entry.SetField(field, text);
        }
        if (*c.uid != 0) {
            SetEntryUid(entry, c.uid);
        }
        SCOPED_TRACE(entry.GetField(LastName));
        EXPECT_EQ(existing.Holds(entry), c.held);
    }
}

TEST(ExistingEntries, TheHeaderImportSkipsRowsTheBookHoldsAndCountsThem) {
    VectorAddressList book;
    AppendEntries(book, {{{FirstName, "Ann"}, {LastName, "Lee"}}});
    const std::string text =
        "First Name,Last Name,Spouse\r\n"
        "Ann,Berg,Bo\r\n"
        "Ann,Lee,Al\r\n"
        "Ann,Cole,\r\n"
        "LEE,ann,Al\r\n";
    ColumnMapping columns{};
    columns[FirstName] = 1;
    columns[LastName] = 2;
    const CExistingEntries existing(book);
    StagedEntries staged;
    HeaderImportReport report;
    EXPECT_EQ(ImportWithHeaderText(text, ',', columns, staged, report, &existing), 2);
    ASSERT_EQ(staged.entries.size(), 2u);
    EXPECT_EQ(staged.entries[0]->GetField(LastName), "Berg");
    EXPECT_EQ(staged.entries[1]->GetField(LastName), "Cole");
    EXPECT_EQ(staged.announcedRows, 2);
    EXPECT_EQ(report.skipped, 2);
    // The spouses of the skipped rows are not counted as kept.
    EXPECT_EQ(HeaderImportReportText(report),
              "2 addresses imported. 2 already in the book were skipped. "
              "Kept as extra data: Spouse 1.");
    EXPECT_EQ(ImportSummaryText(0, 1), "0 addresses imported. 1 already in the book was skipped.");
    EXPECT_EQ(ImportSummaryText(3, 0), "3 addresses imported.");
}

TEST(ExistingEntries, TheVCardImportSkipsCardsTheBookHolds) {
    VectorAddressList book;
    AppendEntries(book, {{{FirstName, "Ann"}, {LastName, "Lee"}}});
    const std::string cards =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\n"
        "BDAY:1980-01-02\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Berg;Bo;;;\r\nFN:Bo Berg\r\n"
        "BDAY:1981-01-02\r\nEND:VCARD\r\n";
    const CExistingEntries existing(book);
    StagedEntries staged;
    VCardImportReport report;
    EXPECT_EQ(ImportVCardEntriesFromBytes(cards, staged, report, &existing), 1);
    EXPECT_EQ(report.skipped, 1);
    ASSERT_EQ(staged.entries.size(), 1u);
    EXPECT_EQ(staged.entries[0]->GetField(LastName), "Berg");
    // What the skipped card kept is not counted.
    EXPECT_EQ(ImportReportText(report, "x.vcf"),
              "1 addresses imported. 1 already in the book was skipped. "
              "Kept as extra data: BDAY 1.");
    StagedEntries all;
    VCardImportReport allReport;
    EXPECT_EQ(ImportVCardEntriesFromBytes(cards, all, allReport), 2);
    EXPECT_EQ(allReport.skipped, 0);
}

}  // namespace
}  // namespace addressbook
