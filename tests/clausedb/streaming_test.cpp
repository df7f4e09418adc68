// Reading and writing clause by clause: the store's rewind, the consumer of
// completed clauses, the reader's direct path for plain commands (checked
// against the parser alone), streaming writes and the attribute-name helper.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "clausedb/attribute_names.h"
#include "clausedb/clause_reader.h"
#include "clausedb/expr_database.h"
#include "clausedb/expr_store_impl.h"
#include "fileio/atomic_file.h"

namespace clausedb {
namespace {

namespace fs = std::filesystem;

std::string Written(CExprTerm term) {
    std::string text;
    term.WriteTerm(text);
    return text;
}

// ---- store rewind

TEST(StoreRewind, GivesBackWhatWasMadeSinceTheMark) {
    CExprStore store;
    CExprTerm before = store.NewClause("kept");
    before.AddStringAttribute("Name", "before the mark");
    const std::size_t reserved = store.BytesReserved();
    const StoreMark mark = store.Mark();

    // Many rounds of building and rewinding reuse the same memory, a text
    // larger than a slot included.
    CExprTerm last;
    for (int round = 0; round < 2000; ++round) {
        last = store.NewClause("dropped");
        last.AddStringAttribute("Word" + std::to_string(round % 50), std::string(300, 'v'));
        if (round % 500 == 0) {
            last.AddStringAttribute("Big", std::string(200000, 'b'));
        }
        store.Rewind(mark);
    }
    EXPECT_LE(store.BytesReserved(), reserved + 4 * 65536);
    EXPECT_EQ(last.Kind(), ExprNull);  // a handle made after the mark
    EXPECT_EQ(Written(before), "[kept, 'Name' = \"before the mark\"]");

    // Words made after the mark were interned and survive: a pair built
    // now with one of them is found by name.
    CExprTerm again = store.NewClause("again");
    again.AddStringAttribute("Word7", "x");
    std::string text;
    EXPECT_TRUE(again.GetAttributeText("Word7", text));
    EXPECT_EQ(text, "x");
}

TEST(StoreRewind, FreedCellsAndStaleMarks) {
    struct Case {
        const char* name;
        bool clearBetween;  // the store is cleared after the mark
        bool otherStore;    // the mark comes from another store
    };
    const Case cases[] = {
        {"same store", false, false},
        {"after clear", true, false},
        {"other store", false, true},
    };
    for (const Case& c : cases) {
        CExprStore store, other;
        CExprTerm old = store.NewList();
        old.AddElement(store.NewString("old"));
        CExprTerm spare = store.NewString("spare");
        store.Free(spare);  // a free cell from before the mark
        const StoreMark mark = c.otherStore ? other.Mark() : store.Mark();
        CExprTerm young = store.NewList();  // takes the spare cell
        young.AddElement(store.NewString("young"));
        young.AddElement(store.NewInteger(1));
        store.Free(young);  // cells beyond the mark go on the free list
        if (c.clearBetween) {
            store.Clear();
            old = store.NewList();
            old.AddElement(store.NewString("old"));
        }
        store.Rewind(mark);
        // Whatever the mark, new terms must not disturb the old list.
        CExprTerm fresh = store.NewList();
        for (int i = 0; i < 10; ++i) {
            fresh.AddElement(store.NewInteger(i));
        }
        EXPECT_EQ(Written(old), "[\"old\"]") << c.name;
        EXPECT_EQ(Written(fresh), "[0, 1, 2, 3, 4, 5, 6, 7, 8, 9]") << c.name;
    }
}

// ---- streaming reads

// What one read did: result, errors as reported, every clause handed on in
// order, and what the database holds afterwards.
struct Outcome {
    bool ok = false;
    int errors = 0;
    std::vector<SyntaxError> reports;
    std::vector<std::string> completed;
    std::vector<std::string> held;
    bool operator==(const Outcome&) const = default;
};

enum class Keep { NoConsumer, All, None, EveryOther };

template <typename ReadFn>
Outcome ReadWith(Keep keep, ReadFn&& read) {
    ParseErrors errors;
    CExprDatabase db;
    db.AddClause(db.NewClause("earlier"));  // clauses already held stay
    Outcome o;
    int index = 0;
    ClauseConsumer consumer;
    if (keep != Keep::NoConsumer) {
        consumer = [&](CExprTerm clause) {
            o.completed.push_back(Written(clause));
            const bool kept = keep == Keep::All || (keep == Keep::EveryOther && index % 2 == 0);
            ++index;
            return kept;
        };
    }
    o.ok = read(db, consumer, &errors);
    o.errors = db.ErrorCount();
    o.reports = errors.Errors();
    db.ForEachClause([&](CExprTerm clause) { o.held.push_back(Written(clause)); });
    return o;
}

// The outcome a consumer must see, derived from a read that keeps all.
Outcome Expected(const Outcome& all, Keep keep) {
    Outcome e = all;
    e.completed.assign(all.held.begin() + 1, all.held.end());
    if (keep == Keep::NoConsumer) {
        e.completed.clear();
        return e;
    }
    e.held.assign(1, all.held.front());
    for (std::size_t i = 0; i < e.completed.size(); ++i) {
        if (keep == Keep::All || (keep == Keep::EveryOther && i % 2 == 0)) {
            e.held.push_back(e.completed[i]);
        }
    }
    return e;
}

// A book-like text: contact clauses with values that stress the reader,
// with a few commands of other shapes and errors among them.
std::string MixedBook(std::mt19937& rng, int clauses) {
    static const char* const kPieces[] = {"a",   "Z",  " ",        "\\\"", "\\\\", "\n",
                                          "\\n", "\t", "'",        "/*",   "*/",   "=",
                                          ",",   ").", "\xC3\xA9", "e",    "1.5e3"};
    static const char* const kOthers[] = {
        "f(1, 2.5, [a, b]).",
        "x.",
        "[a, b = \"c\"].",
        "g(a = b = c).",
        "h(,).",
        "k(e).",
        "/* note */ m(a = 'q w').",
        "n(a = \"x\" \"y\").",
        "p(.",
        "q(a, ).",
        "r().",
    };
    std::string text;
    for (int c = 0; c < clauses; ++c) {
        if (rng() % 6 == 0) {
            text += kOthers[rng() % std::size(kOthers)];
            text += "\n";
            continue;
        }
        text += rng() % 9 == 0 ? "'contact'(" : "contact(";
        const int pairs = static_cast<int>(rng() % 8);
        for (int p = 0; p < pairs; ++p) {
            text += p == 0 ? "" : ",\n  ";
            text +=
                rng() % 5 == 0 ? "Name" + std::to_string(p) : "'Field" + std::to_string(p) + "'";
            text += " = ";
            if (rng() % 7 == 0) {
                text += "bare_word";
                continue;
            }
            text += '"';
            for (int k = static_cast<int>(rng() % 6); k > 0; --k) {
                text += kPieces[rng() % std::size(kPieces)];
            }
            text += '"';
        }
        text += rng() % 11 == 0 ? ",)." : ").";
        text += "\n\n";
    }
    return text;
}

std::vector<std::string> ReaderInputs() {
    std::vector<std::string> inputs = {
        "",
        "contact('LastName' = \"Doe\",\n  'Notes' = \"two\nlines \\\"q\\\" \\\\\").\n\n",
        "f(a). g(. h(x).\n",
        "f(,) ; g(a). h(b).",
        "f(, . g(;). h(c). i(d).",
        "f(a = \"unclosed).\n",
        "f(a). /* left open\n",
        "f(a)",
        "x. y. [z]. f(a, b = \"c\", \"d\", e5).",
        "f('x\ny' = \"\\\r\n\").\nf(a)\r\n.\n",
        "f(a = 1). g(a = 1.5). h(a = [b]). i(a = 'e').",
        "contact(). contact(,). contact(a,). contact(a,,).",
        "f(" + std::string(5000, 'w') + " = \"" + std::string(70000, 'v') + "\").",
    };
    std::mt19937 rng(7);
    for (int i = 0; i < 4; ++i) {
        inputs.push_back(MixedBook(rng, 60));
    }
    return inputs;
}

class StreamingRead : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("clausedb-stream-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        SetStreamBufferSizeForTesting(0);
        SetPlainCommandsForTesting(true);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

// Every way of reading gives what the parser alone gives when it keeps every
// clause: the same clauses in the same order, the same errors with the same
// lines, the same result.
TEST_F(StreamingRead, EveryPathMatchesTheParserAlone) {
    const Keep keeps[] = {Keep::NoConsumer, Keep::All, Keep::None, Keep::EveryOther};
    for (const std::string& text : ReaderInputs()) {
        SetPlainCommandsForTesting(false);
        const Outcome reference =
            ReadWith(Keep::All, [&](CExprDatabase& db, auto& consumer, ParseErrors* errors) {
                return db.ReadText(text, consumer, errors);
            });
        std::string disk;
        for (char c : text) {
            disk += c == '\n' ? "\r\n" : std::string(1, c);
        }
        std::ofstream(Path("book.qxd"), std::ios::binary) << disk;

        for (bool plain : {false, true}) {
            SetPlainCommandsForTesting(plain);
            for (Keep keep : keeps) {
                const Outcome expected = Expected(reference, keep);
                const std::string what = text.substr(0, 60) + (plain ? " plain" : " parser") +
                                         " keep " + std::to_string(static_cast<int>(keep));
                EXPECT_EQ(ReadWith(keep,
                                   [&](CExprDatabase& db, auto& consumer, ParseErrors* errors) {
                                       return db.ReadText(text, consumer, errors);
                                   }),
                          expected)
                    << what;
                for (std::size_t buffer : {1u, 7u, 0u}) {
                    SetStreamBufferSizeForTesting(buffer);
                    EXPECT_EQ(ReadWith(keep,
                                       [&](CExprDatabase& db, auto& consumer, ParseErrors* errors) {
                                           return db.ReadFile(Path("book.qxd"), consumer, errors);
                                       }),
                              expected)
                        << what << " file, buffer " << buffer;
                }
                SetStreamBufferSizeForTesting(0);
            }
        }
    }
}

TEST_F(StreamingRead, OneClauseAtATimeInTheStore) {
    std::string book;
    for (int i = 0; i < 4000; ++i) {
        book += "contact('LastName' = \"Name " + std::to_string(i) + "\", 'Notes' = \"" +
                std::string(400, 'n') + "\").\n\n";
    }
    CExprDatabase all;
    ASSERT_TRUE(all.ReadText(book));
    CExprDatabase streamed;
    int seen = 0;
    std::size_t peak = 0;
    ASSERT_TRUE(streamed.ReadText(book, [&](CExprTerm clause) {
        std::string name;
        EXPECT_TRUE(clause.GetAttributeText("LastName", name));
        EXPECT_EQ(name, "Name " + std::to_string(seen++));
        peak = std::max(peak, streamed.Store().BytesReserved());
        return false;
    }));
    EXPECT_EQ(seen, 4000);
    EXPECT_EQ(streamed.CountClauses(), 0);
    EXPECT_GT(all.Store().BytesReserved(), 10 * peak);
    EXPECT_LT(peak, 512u * 1024);
}

// The parser may read one token past a command before the command's clause
// is handed on; that token's text must outlive the clause's rewind.
TEST(StreamingReadInternals, TokenReadAheadSurvivesTheRewind) {
    CExprDatabase db;
    ReaderState st;
    st.db = &db;
    st.store = &db.Store();
    st.cells = &ExprStoreAccess::Of(db.Store());
    const ClauseConsumer drop = [](CExprTerm) { return false; };
    st.consumer = &drop;
    st.mark = db.Store().Mark();

    CExprTerm first = db.NewClause("f");
    first.AddStringAttribute("a", std::string(1000, 'x'));
    ClauseValue lookahead{0, st.cells->AddText("read ahead")};
    FinishCommand(st, first.Index(), &lookahead);
    EXPECT_EQ(first.Kind(), ExprNull);
    EXPECT_EQ(st.cells->Text(lookahead.text), "read ahead");

    CExprTerm second = db.NewClause("g");
    second.AddStringAttribute("b", std::string(3000, 'y'));  // over the old place
    FinishCommand(st, second.Index(), nullptr);
    EXPECT_EQ(st.cells->Text(lookahead.text), "read ahead");
    EXPECT_EQ(db.CountClauses(), 0);
}

// ---- streaming writes

TEST_F(StreamingRead, StreamingWriteHoldsOneClauseAtATime) {
    auto build = [](CExprDatabase& db, int i) {
        CExprTerm clause = db.NewClause("contact");
        clause.AddStringAttribute("LastName", "Name " + std::to_string(i));
        clause.AddStringAttribute("Notes", "line\nbreak \"quoted\" \\");
        return clause;
    };
    const int counts[] = {0, 1, 3000};
    for (int count : counts) {
        std::string expected;
        for (int i = 0; i < count; ++i) {
            expected += "contact('LastName' = \"Name " + std::to_string(i) +
                        "\",\r\n  'Notes' = \"line\r\nbreak \\\"quoted\\\" \\\\\").\r\n\r\n";
        }
        CExprDatabase streamed;
        streamed.AddClause(streamed.NewClause("own"));  // not written, kept
        int next = 0;
        std::size_t peak = 0;
        ASSERT_TRUE(streamed.WriteFile(Path("streamed.qxd"), [&]() {
            peak = std::max(peak, streamed.Store().BytesReserved());
            return next < count ? build(streamed, next++) : CExprTerm();
        }));
        std::ifstream written(Path("streamed.qxd"), std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(written), {}) == expected) << count;
        EXPECT_EQ(streamed.CountClauses(), 1);
        EXPECT_EQ(Written(streamed.ClauseOf(streamed.First())), "[own]");
        EXPECT_LT(peak, 512u * 1024);
    }

    // A full disk: false with the reason, the old file untouched.
    std::ofstream(Path("old.qxd"), std::ios::binary) << "old(file).\r\n\r\n";
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(100);
    CExprDatabase db;
    int next = 0;
    EXPECT_FALSE(db.WriteFile(Path("old.qxd"),
                              [&]() { return next < 50 ? build(db, next++) : CExprTerm(); }));
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_EQ(db.ErrorCount(), 1);
    EXPECT_FALSE(db.LastFileError().empty());
    std::ifstream old(Path("old.qxd"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old(file).\r\n\r\n");
}

// The writer's direct path for attribute pairs writes what the general
// term writer writes for them.
TEST(ClauseWriter, PairsWrittenDirectlyMatchTheTermWriter) {
    CExprStore store;
    CExprTerm clause = store.NewClause("contact");
    const std::pair<std::string, std::string> pairs[] = {
        {"LastName", "Doe"},
        {"lower_case", ""},
        {"with\nline feed", "value\nover \"two\" lines\\"},
        {"", "empty name"},
        {"Notes", std::string(3000, 'n') + "\"" + std::string(3000, '\n')},  // beyond one block
        {"e", "x"},
    };
    for (const auto& [name, value] : pairs) {
        clause.AddStringAttribute(name, value);
    }
    CExprTerm integerPair = store.NewList();  // a pair with another value
    integerPair.AddElement(store.NewWord("="));
    integerPair.AddElement(store.NewWord("Count"));
    integerPair.AddElement(store.NewInteger(3));
    clause.AddElement(integerPair);
    for (LineEnd ending : {LineEnd::Lf, LineEnd::CrLf}) {
        const std::string newline = ending == LineEnd::CrLf ? "\r\n" : "\n";
        std::string expected;
        clause.First().WriteTerm(expected, ending);
        expected += "(";
        for (CExprTerm e = clause.First().Next(); e; e = e.Next()) {
            e.WriteTerm(expected, ending);
            expected += e.Next() ? "," + newline + "  " : "";
        }
        expected += ")." + newline + newline;
        std::string written;
        clause.WriteClause(written, ending);
        EXPECT_TRUE(written == expected) << (ending == LineEnd::CrLf ? "CR LF" : "LF");
    }
}

// ---- attribute names

TEST(AttributeNames, MatchTheOneNameOperations) {
    const CAttributeNames names({"LastName", "Notes", "", "Missing", "later"});
    const char* const clauses[] = {
        "contact('LastName' = \"Doe\", 'Notes' = \"n\").",
        "contact('Notes' = \"first\", 'LastName' = x, 'Notes' = \"second\").",
        "contact('LastName' = 7, 'LastName' = \"late\", '' = \"empty name\").",
        "contact(['=', 'Notes'], '==' = \"eq\", [x, 'LastName', \"no\"], 'Notes').",
        "contact(['=x', 'LastName', \"odd mark\"], [], LastName, \"loose\").",
        "f(later = \"interned late\").",
        "[].",
    };
    CExprDatabase db;
    for (const char* text : clauses) {
        ASSERT_TRUE(db.ReadText(text)) << text;
        const CExprTerm clause = db.ClauseOf(db.Last());
        std::vector<std::string_view> texts(names.Size());
        names.GetTexts(clause, texts.data());
        for (std::size_t i = 0; i < names.Size(); ++i) {
            std::string expected;
            clause.GetAttributeText(names.Name(i), expected);
            EXPECT_EQ(texts[i], expected) << text << " name '" << names.Name(i) << "'";
        }
    }

    // Building: the same clause as the one-name operation, in any store and
    // after the store was cleared.
    for (int round = 0; round < 3; ++round) {
        CExprStore store;
        if (round == 2) {
            store.NewClause("x").AddStringAttribute("Notes", "y");
            store.Clear();
        }
        CExprTerm fast = store.NewClause("contact");
        CExprTerm slow = store.NewClause("contact");
        const std::string_view values[] = {"a", "", "b", "c\nd", "e"};
        const bool some[] = {false, true, true, false, true};
        names.AddStringAttributes(fast, values);
        names.AddStringAttribute(fast, 3, "single");
        names.AddStringAttributes(fast, values, some);
        for (std::size_t i = 0; i < names.Size(); ++i) {
            slow.AddStringAttribute(names.Name(i), values[i]);
        }
        slow.AddStringAttribute(names.Name(3), "single");
        for (std::size_t i = 0; i < names.Size(); ++i) {
            if (some[i]) {
                slow.AddStringAttribute(names.Name(i), values[i]);
            }
        }
        EXPECT_EQ(Written(fast), Written(slow)) << round;
    }
    EXPECT_THROW(CAttributeNames({"a", "b", "a"}), std::invalid_argument);
}

}  // namespace
}  // namespace clausedb
