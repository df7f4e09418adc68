#include "addressbook/extra_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "addressbook/book_file.h"
#include "test_support.h"

namespace addressbook {
namespace {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;

// The clause that saving `entry` writes, without its 32 field attributes.
std::string SavedExtras(const CAddressEntry& entry) {
    CExprDatabase db;
    CExprTerm clause = db.NewClause(kContactFunctor);
    entry.Extra().AppendTo(clause);
    std::string text;
    clause.WriteClause(text);
    return text;
}

// Reads one clause and makes its entry.
CAddressEntry EntryOf(std::string_view clauseText) {
    CExprDatabase db;
    EXPECT_TRUE(db.ReadText(clauseText)) << clauseText;
    if (db.CountClauses() != 1) {
        ADD_FAILURE() << clauseText;
        return {};
    }
    return *EntryFromClause(db.ClauseOf(db.First()));
}

// Saves the entry as the book does and reads the clause back.
CAddressEntry SavedAndRead(const CAddressEntry& entry) {
    CExprDatabase db;
    CExprTerm clause = db.NewClause(kContactFunctor);
    FillClauseFromEntry(clause, entry);
    std::string text;
    clause.WriteClause(text);
    return EntryOf(text);
}

TEST(ExtraData, KeepsEverythingTheFieldsDoNotTake) {
    struct Case {
        const char* clause;
        testing::FieldValues fields;
        const char* extras;  // the clause of the extras alone, as written
    };
    const Case cases[] = {
        {"contact('LastName' = \"Doe\").", {{LastName, "Doe"}}, ""},
        {"contact(LastName = doe, 'Birthday' = \"1980-04-01\", 'Notes' = \"n\").",
         {{LastName, "doe"}, {Notes, "n"}},
         "'Birthday' = \"1980-04-01\""},
        // The first pair of a name counts; a later one is kept.
        {"contact('LastName' = \"a\", 'LastName' = \"b\").",
         {{LastName, "a"}},
         "'LastName' = \"b\""},
        // A first pair that is no text leaves the field empty and is kept.
        {"contact('LastName' = 7, 'City' = \"Oslo\", 'Title' = 1.5).",
         {{City, "Oslo"}},
         "'LastName' = 7,\n  'Title' = 1.5"},
        // Arguments that are no pairs, and values of every kind.
        {"contact(junk, \"text\", 42, [a, [\"b\", 2.5], []], 'Rank' = -3, "
         "'Tags' = [\"x\", 'Y'], sub = [k = v]).",
         {},
         "junk,\n  \"text\",\n  42,\n  [a, [\"b\", 2.5], []],\n  'Rank' = -3,\n"
         "  'Tags' = [\"x\", 'Y'],\n  sub = [k = v]"},
        // Pairs written with another mark still give the field.
        {"contact(['==', 'City', \"Rome\"], ['=', 'UID', \"u\", extra]).",
         {{City, "Rome"}},
         "['=', 'UID', \"u\", extra]"},
        {"contact(vCard = \"BDAY:1980-04-01\", vCard = \"NICKNAME:Jo\").",
         {},
         "vCard = \"BDAY:1980-04-01\",\n  vCard = \"NICKNAME:Jo\""},
    };
    for (const Case& c : cases) {
        const CAddressEntry entry = EntryOf(c.clause);
        for (const auto& [index, text] : c.fields) {
            EXPECT_EQ(entry.GetField(index), text) << c.clause;
        }
        const std::string extras =
            *c.extras ? "contact(" + std::string(c.extras) + ").\n\n" : "contact().\n\n";
        EXPECT_EQ(SavedExtras(entry), extras) << c.clause;
        EXPECT_EQ(entry.Extra().Empty(), *c.extras == 0) << c.clause;
        // Saved and read again, the entry is the same, extras included.
        EXPECT_EQ(SavedAndRead(entry), entry) << c.clause;
    }
}

TEST(ExtraData, FindsTextsAndDropsAttributes) {
    const CAddressEntry entry =
        EntryOf("contact('UID' = 5, 'UID' = \"u-1\", vCard = \"X:1\", 'UID' = \"u-2\", w).");
    EXPECT_EQ(entry.Extra().FindText("UID"), "u-1");
    EXPECT_FALSE(entry.Extra().FindText("uid"));
    const CExtraData rest =
        WithoutAttributes(entry.Extra(), [](std::string_view name) { return name == "UID"; });
    CAddressEntry copy;
    copy.SetExtra(rest);
    EXPECT_EQ(SavedExtras(copy), "contact(vCard = \"X:1\",\n  w).\n\n");
    EXPECT_TRUE(WithoutAttributes(rest, [](std::string_view) { return true; }).First().Kind() ==
                ExtraKind::Word);
}

TEST(ExtraData, EntryWithoutExtraDataGrowsByOnePointerOnly) {
    EXPECT_EQ(sizeof(CAddressEntry), 2 * sizeof(void*));
    CAddressEntry entry;
    entry.SetField(LastName, "Doe");
    CAddressEntry other = entry;
    EXPECT_EQ(other, entry);
    CExtraDataBuilder builder;
    builder.AddStringAttribute("UID", "x");
    other.SetExtra(builder.Build());
    EXPECT_FALSE(other == entry);  // the extra data counts
    entry = other;
    EXPECT_EQ(entry, other);
}

// Clauses of random shapes: the fields are what GetFieldTexts gives, the
// extra data is exactly the rest, and saving and reading keeps both.
TEST(ExtraData, RandomClausesSurviveSaveAndOpen) {
    std::mt19937 random(1997);
    const char* const names[] = {"LastName", "City", "Notes", "UID", "vCard", "x", "Y z"};
    CExprDatabase db;
    clausedb::CExprStore& store = db.Store();
    std::function<CExprTerm(int)> value = [&](int depth) -> CExprTerm {
        switch (random() % 7) {
            case 0:
                return store.NewInteger(static_cast<std::int32_t>(random()));
            case 1:
                return store.NewReal(static_cast<float>(random() % 1000) / 8.0f);
            case 2:
                return store.NewWord(names[random() % std::size(names)]);
            case 3:
                if (depth < 3) {
                    CExprTerm list = store.NewList();
                    for (int n = static_cast<int>(random() % 4); n > 0; --n) {
                        list.AddElement(value(depth + 1));
                    }
                    return list;
                }
                [[fallthrough]];
            default:
                return store.NewString(std::string(random() % 5, 'a' + random() % 26));
        }
    };
    for (int round = 0; round < 300; ++round) {
        CExprTerm clause = db.NewClause(kContactFunctor);
        for (int n = static_cast<int>(random() % 10); n > 0; --n) {
            if (random() % 5 == 0) {
                clause.AddElement(value(0));
            } else {
                CExprTerm pair = store.NewList();
                pair.AddElement(store.NewWord("="));
                pair.AddElement(store.NewWord(names[random() % std::size(names)]));
                pair.AddElement(value(0));
                clause.AddElement(pair);
            }
        }
        std::string text;
        clause.WriteClause(text);
        const CAddressEntry entry = EntryOf(text);
        std::array<std::string_view, kFieldCount> texts;
        GetFieldTexts(clause, texts);
        for (int i = 0; i < kFieldCount; ++i) {
            ASSERT_EQ(entry.GetField(i), texts[static_cast<std::size_t>(i)]) << text;
        }
        // Saving writes the clause straight from the entry's texts, as the
        // clause built with FillClauseFromEntry writes it.
        CExprDatabase out;
        CExprTerm built = out.NewClause(kContactFunctor);
        FillClauseFromEntry(built, entry);
        std::string builtText, direct;
        built.WriteClause(builtText);
        out.Store().Clear();
        int calls = 0;
        out.WriteToString(direct, clausedb::LineEnd::Lf, [&](clausedb::CClauseSink& sink) {
            if (calls++ == 0) {
                WriteEntryClause(sink, out.Store(), entry);
            }
            return calls == 1;
        });
        ASSERT_EQ(direct, builtText) << text;
        const CAddressEntry again = SavedAndRead(entry);
        ASSERT_EQ(again, entry) << text;
        ASSERT_EQ(SavedAndRead(again), entry) << text;
    }
}

}  // namespace
}  // namespace addressbook
