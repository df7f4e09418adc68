#include "addresslist/address_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <algorithm>
#include <functional>
#include <random>

#include "addressbook/field_table.h"
#include "addresslist/list_resources.h"
#include "list_test_support.h"

namespace addresslist {
namespace {

using addressbook::City;
using addressbook::FirstName;
using addressbook::LastName;
using testing::AppendTexts;
using testing::FieldColumn;
using testing::MakeEntry;

class AddressListModelTest : public ::testing::Test {
protected:
    AddressListModel m_model{LoadColumnLabels()};
    QAbstractItemModelTester m_tester{&m_model,
                                      QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST(FoldForSortTest, FoldsLettersOfEveryScript) {
    const struct {
        std::string text;
        std::string key;
    } cases[] = {
        {"Smith", "smith"},
        {"O'BRIEN-2", "o'brien-2"},
        {"\xC3\x84rger", "\xC3\xA4rger"},                          // Ärger
        {"\xCE\xA3\xCE\x91\xCE\xA3", "\xCF\x83\xCE\xB1\xCF\x83"},  // ΣΑΣ -> σασ
        {"Stra\xC3\x9F"
         "e",
         "stra\xC3\x9F"
         "e"},                                     // ß stays
        {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},  // Deseret capital -> small
        {"A\xFF"
         "B",
         "a\xFF"
         "b"},             // a stray byte is kept
        {"\xC3", "\xC3"},  // a cut-off character too
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FoldForSort(c.text), c.key) << c.text;
    }
}

TEST_F(AddressListModelTest, SortsCaseInsensitivelyWithEmptyTextsFirst) {
    AppendTexts(m_model, LastName, {"Smith", "smith", "", "adams", "\xC3\x84rger", "Zorn"});
    m_model.SortByPosition(0, true);
    EXPECT_EQ(FieldColumn(m_model, LastName),
              (std::vector<std::string>{"", "adams", "Smith", "smith", "Zorn", "\xC3\x84rger"}));
    m_model.SortByPosition(0, false);
    EXPECT_EQ(FieldColumn(m_model, LastName),
              (std::vector<std::string>{"\xC3\x84rger", "Zorn", "Smith", "smith", "adams", ""}));
}

// `texts` in the order of a plain stable sort of their folded forms.
std::vector<std::string> PlainSorted(std::vector<std::string> texts, bool ascending) {
    std::vector<std::pair<std::string, std::string>> keyed;
    for (std::string& text : texts) {
        keyed.emplace_back(FoldForSort(text), std::move(text));
    }
    std::ranges::stable_sort(keyed, [&](const auto& a, const auto& b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    std::ranges::transform(keyed, texts.begin(), [](auto& k) { return std::move(k.second); });
    return texts;
}

// A list whose keys are folded in two halves at once sorts as a plain stable
// sort does, both ways, also after changes that keep the number of rows (kept
// keys serve only rows as the last sort left them).  The texts meet every turn
// of comparing eight-byte prefixes: shared ones, NUL and high bytes, empty and
// equal keys.
TEST(AddressListModelSortTest, SortsAsAPlainStableSortAfterEveryChange) {
    AddressListModel model{LoadColumnLabels()};  // no model tester: too slow here
    const std::string pieces[] = {"a", "B",    "\xC3\x84", "\xC3\xA4", "b",      "ab",
                                  "A", "\x7F", "\xFF",     "abcdefgh", {"\0", 1}};
    std::vector<std::string> lastNames(20000);
    std::mt19937 random(1);
    for (std::size_t row = 0; row < lastNames.size(); ++row) {
        for (std::size_t i = 0; i < row % 5; ++i) {
            lastNames[row] += pieces[random() % std::size(pieces)];
        }
    }
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a load", [&] { AppendTexts(model, LastName, lastNames); }},
        {"an edit",
         [&] {
             model.MutableEntryAt(1).SetField(LastName, "AAA");
             model.RefreshRow(1);
         }},
        {"rows put back elsewhere",
         [&] {
             auto taken = model.TakeRows({0, 1});
             model.InsertRows({3, 5}, taken);
         }},
    };
    for (const auto& [name, change] : changes) {
        change();
        for (bool ascending : {true, false, false, true}) {
            const auto expected = PlainSorted(FieldColumn(model, LastName), ascending);
            model.SortByPosition(0, ascending);
            EXPECT_EQ(FieldColumn(model, LastName), expected)
                << name << (ascending ? " up" : " down");
        }
    }
}

TEST_F(AddressListModelTest, PersistentIndexesFollowTheirRows) {
    AppendTexts(m_model, LastName, {"c", "a", "b"});
    const QPersistentModelIndex c(m_model.index(0, 3));
    const QPersistentModelIndex a(m_model.index(1, 0));
    m_model.SortByPosition(0, true);
    EXPECT_EQ(c.row(), 2);
    EXPECT_EQ(c.column(), 3);
    EXPECT_EQ(a.row(), 0);
}

TEST_F(AddressListModelTest, BulkLoadAnnouncesOneReset) {
    QSignalSpy resets(&m_model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&m_model, &QAbstractItemModel::rowsInserted);
    QSignalSpy layouts(&m_model, &QAbstractItemModel::layoutChanged);
    int resorts = 0;
    m_model.SetResortHandler([&] {
        ++resorts;
        m_model.SortByPosition(0, true);
    });
    m_model.SetRedraw(false);
    m_model.ReserveRows(1000);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(m_model.AppendEntry(MakeEntry({{LastName, std::to_string(999 - i)}})));
    }
    m_model.ResortList();
    m_model.SetRedraw(true);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(layouts.count(), 0);
    EXPECT_EQ(resorts, 1);
    EXPECT_EQ(m_model.rowCount(), 1000);
    EXPECT_EQ(m_model.index(0, 0).data().toString(), "0");
}

TEST_F(AddressListModelTest, InsertsAnEntryAtAnyRow) {
    AppendTexts(m_model, LastName, {"a", "c"});
    const QPersistentModelIndex c(m_model.index(1, 0));
    EXPECT_TRUE(m_model.InsertEntry(1, MakeEntry({{LastName, "b"}})));
    EXPECT_TRUE(m_model.InsertEntry(0, MakeEntry({{LastName, "0"}})));
    EXPECT_TRUE(m_model.InsertEntry(4, MakeEntry({{LastName, "d"}})));
    EXPECT_FALSE(m_model.InsertEntry(6, std::make_unique<addressbook::CAddressEntry>()));
    EXPECT_FALSE(m_model.InsertEntry(-1, std::make_unique<addressbook::CAddressEntry>()));
    EXPECT_EQ(FieldColumn(m_model, LastName), (std::vector<std::string>{"0", "a", "b", "c", "d"}));
    EXPECT_EQ(c.row(), 3);
}

TEST_F(AddressListModelTest, TakesManyRowsOutAndHandsTheirEntriesOver) {
    for (const bool bulk : {false, true}) {
        SCOPED_TRACE(bulk ? "redraw off" : "redraw on");
        m_model.Clear();
        AppendTexts(m_model, LastName, {"a", "b", "c", "d", "e", "f"});
        const addressbook::CAddressEntry* c = &m_model.EntryAt(2);
        const QPersistentModelIndex e(m_model.index(4, 1));
        QSignalSpy removals(&m_model, &QAbstractItemModel::rowsRemoved);
        if (bulk) {
            m_model.SetRedraw(false);
        }
        const auto taken = m_model.TakeRows({0, 2, 3, 5});
        if (bulk) {
            m_model.SetRedraw(true);
        }
        ASSERT_EQ(taken.size(), 4u);
        EXPECT_EQ(taken[0]->GetField(LastName), "a");
        EXPECT_EQ(taken[1].get(), c);  // the same entry, not a copy
        EXPECT_EQ(taken[3]->GetField(LastName), "f");
        EXPECT_EQ(FieldColumn(m_model, LastName), (std::vector<std::string>{"b", "e"}));
        // Three runs (a; c-d; f) announced, or none inside a bulk change.
        EXPECT_EQ(removals.count(), bulk ? 0 : 3);
        if (!bulk) {
            EXPECT_EQ(e.row(), 1);
        }
    }
    EXPECT_THROW(m_model.TakeRows({1, 0}), std::invalid_argument);
    EXPECT_THROW(m_model.TakeRows({2}), std::out_of_range);
    EXPECT_EQ(m_model.RowCount(), 2);
}

TEST_F(AddressListModelTest, HeaderTextDecidesTheFieldOfAPosition) {
    m_model.AppendEntry(MakeEntry({{LastName, "Doe"}, {FirstName, "Jane"}, {3, "Dr."}}));
    ColumnTexts headers = m_model.Labels();
    headers[0] = m_model.Labels()[FirstName];  // shown twice
    headers[3] = QStringLiteral("No such label");
    m_model.SetHeaderTexts(headers);
    EXPECT_EQ(m_model.FieldAtPosition(0), FirstName);
    EXPECT_EQ(m_model.FieldAtPosition(1), FirstName);
    EXPECT_EQ(m_model.PositionOfField(FirstName), 0);
    EXPECT_EQ(m_model.PositionOfField(LastName), -1);
    EXPECT_EQ(m_model.index(0, 0).data().toString(), "Jane");
    // A header that matches no label shows nothing and sorts by the field of
    // its own number.
    EXPECT_EQ(m_model.FieldAtPosition(3), -1);
    EXPECT_EQ(m_model.index(0, 3).data().toString(), "");
    EXPECT_EQ(m_model.SortFieldAtPosition(3), 3);
}

TEST_F(AddressListModelTest, MovingAColumnMovesOnlyItsHeader) {
    const struct {
        int from;
        int to;
        bool moved;
        std::vector<int> firstFields;  // fields at positions 0..6 afterwards
    } cases[] = {
        {6, 0, true, {6, 0, 1, 2, 3, 4, 5}},   {0, 3, true, {1, 2, 0, 3, 4, 5, 6}},
        {1, 32, true, {0, 2, 3, 4, 5, 6, 7}},  {5, 2, true, {0, 1, 5, 2, 3, 4, 6}},
        {4, 4, false, {0, 1, 2, 3, 4, 5, 6}},  {4, 5, false, {0, 1, 2, 3, 4, 5, 6}},
        {4, 33, false, {0, 1, 2, 3, 4, 5, 6}},
    };
    m_model.AppendEntry(MakeEntry({{City, "Springfield"}}));
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << " -> " << c.to);
        m_model.SetHeaderTexts(m_model.Labels());
        EXPECT_EQ(m_model.MoveColumn(c.from, c.to), c.moved);
        for (int p = 0; p < 7; ++p) {
            EXPECT_EQ(m_model.FieldAtPosition(p), c.firstFields[static_cast<std::size_t>(p)]);
        }
        if (c.from == 1 && c.to == 32) {
            EXPECT_EQ(m_model.FieldAtPosition(31), FirstName);
        }
        const int cityAt = m_model.PositionOfField(City);
        EXPECT_EQ(m_model.index(0, cityAt).data().toString(), "Springfield");
    }
}

}  // namespace
}  // namespace addresslist
