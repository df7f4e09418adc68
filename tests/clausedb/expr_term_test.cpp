#include "clausedb/expr_term.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace clausedb {
namespace {

std::string Term(CExprTerm t) {
    std::string out;
    t.WriteTerm(out);
    return out;
}

std::string Clause(CExprTerm t, LineEnd ending = LineEnd::Lf) {
    std::string out;
    t.WriteClause(out, ending);
    return out;
}

TEST(ExprWriter, WorkedExampleByteForByte) {
    CExprStore store;
    CExprTerm clause = store.NewClause("contact");
    clause.AddStringAttribute("LastName", "Doe");
    clause.AddStringAttribute("FirstName", "John");
    clause.AddStringAttribute("Title", "");
    clause.AddStringAttribute("Notes", "say \"hi\" \\ bye");
    EXPECT_EQ(Clause(clause),
              "contact('LastName' = \"Doe\",\n"
              "  'FirstName' = \"John\",\n"
              "  'Title' = \"\",\n"
              "  'Notes' = \"say \\\"hi\\\" \\\\ bye\").\n"
              "\n");
    EXPECT_EQ(Clause(clause, LineEnd::CrLf),
              "contact('LastName' = \"Doe\",\r\n"
              "  'FirstName' = \"John\",\r\n"
              "  'Title' = \"\",\r\n"
              "  'Notes' = \"say \\\"hi\\\" \\\\ bye\").\r\n"
              "\r\n");
}

TEST(ExprWriter, WordQuotingRule) {
    struct Case {
        const char* word;
        bool quoted;
    };
    // "e" and "5abc" are quoted so that they read back as words.
    const Case cases[] = {
        {"contact", false},    {"e5", false}, {"lastName", false}, {"_x9", false}, {"a_B", false},
        {"LastName", true},    {"=", true},   {"", true},          {"a-b", true},  {"a b", true},
        {"caf\xC3\xA9", true}, {"e", true},   {"5abc", true}};
    CExprStore store;
    for (const Case& c : cases) {
        EXPECT_EQ(WordNeedsQuotes(c.word), c.quoted) << c.word;
        std::string text = c.word;
        EXPECT_EQ(Term(store.NewWord(text)), c.quoted ? "'" + text + "'" : text);
    }
    // Nothing inside single quotes is escaped.
    EXPECT_EQ(Term(store.NewWord("it's")), "'it's'");
}

TEST(ExprWriter, ScalarTerms) {
    CExprStore store;
    struct Case {
        CExprTerm term;
        const char* text;
    };
    const Case cases[] = {
        {store.NewNull(), ""},
        {store.NewInteger(0), "0"},
        {store.NewInteger(-5), "-5"},
        {store.NewInteger(INT_MIN), "-2147483648"},
        {store.NewReal(1500.0f), "1500"},
        {store.NewReal(100000.0f), "100000"},
        {store.NewReal(1e6f), "1e+06"},
        {store.NewReal(-1.5f), "-1.5"},
        {store.NewReal(0.1f), "0.1"},
        {store.NewReal(1.5e-5f), "1.5e-05"},
        {store.NewReal(1.05f), "1.05"},
        {store.NewString(""), "\"\""},
        {store.NewString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\""},
        {store.NewString("ends in \\"), "\"ends in \\\\\""},
        {store.NewString("two\nlines\ttab \xC3\xA9"), "\"two\nlines\ttab \xC3\xA9\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Term(c.term), c.text);
    }
    std::string nul;
    store.NewString(std::string("a\0b", 3)).WriteTerm(nul);
    EXPECT_EQ(nul, std::string("\"a\0b\"", 5));
}

TEST(ExprWriter, RealsFollowPrintfG6) {
    CExprStore store;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> mantissa(-10.0f, 10.0f);
    std::uniform_int_distribution<int> power(-40, 38);
    for (int i = 0; i < 2000; ++i) {
        float value = mantissa(rng) * std::pow(10.0f, static_cast<float>(power(rng)));
        if (!std::isfinite(value)) {
            continue;
        }
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.6g", static_cast<double>(value));
        ASSERT_EQ(Term(store.NewReal(value)), expected);
    }
}

TEST(ExprWriter, Lists) {
    CExprStore store;
    auto list = [&](std::initializer_list<CExprTerm> elements) {
        CExprTerm l = store.NewList();
        for (CExprTerm e : elements) {
            l.AddElement(e);
        }
        return l;
    };
    auto w = [&](const char* t) { return store.NewWord(t); };
    struct Case {
        CExprTerm term;
        const char* text;
    };
    const Case cases[] = {
        {store.NewList(), "[]"},
        {list({store.NewInteger(1), w("a"), store.NewString("s")}), "[1, a, \"s\"]"},
        {list({w("="), w("Name"), store.NewString("x")}), "'Name' = \"x\""},
        {list({w("="), w("n"), list({w("a")})}), "n = [a]"},
        // Lists that start with "=" but are not three elements with a word
        // name are written as ordinary lists.
        {list({w("=")}), "['=']"},
        {list({w("="), w("n")}), "['=', n]"},
        {list({w("="), w("n"), w("v"), w("extra")}), "['=', n, v, extra]"},
        {list({w("="), store.NewInteger(1), store.NewInteger(2)}), "['=', 1, 2]"},
        {list({w("=="), w("n"), w("v")}), "['==', n, v]"},
        {list({list({}), list({w("a"), list({})})}), "[[], [a, []]]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Term(c.term), c.text);
    }
}

TEST(ExprWriter, ClauseShapes) {
    CExprStore store;
    EXPECT_EQ(Clause(store.NewClause("contact")), "contact().\n\n");
    EXPECT_EQ(Clause(store.NewList()), "");
    EXPECT_EQ(Clause(store.NewWord("x")), "");
    EXPECT_EQ(Clause(CExprTerm()), "");
    CExprTerm c = store.NewClause("f");
    c.AddElement(store.NewInteger(1));
    c.AddElement(store.NewString("a\nb"));
    EXPECT_EQ(Clause(c), "f(1,\n  \"a\nb\").\n\n");
    EXPECT_EQ(Clause(c, LineEnd::CrLf), "f(1,\r\n  \"a\r\nb\").\r\n\r\n");
    CExprTerm quoted = store.NewClause("g");
    quoted.AddElement(store.NewWord("x\ny"));
    EXPECT_EQ(Clause(quoted, LineEnd::CrLf), "g('x\r\ny').\r\n\r\n");
}

// Long texts go out in pieces; every byte that needs a mark gets exactly one,
// wherever it falls, in string values (escapes and line ends) and in quoted
// words (line ends only), inside pairs and in other places.
TEST(ExprWriter, LongTextsAreEscapedWhereverTheMarksFall) {
    std::string text;
    for (int i = 0; i < 9000; ++i) {
        const int k = i % 1031;
        text += k == 0 ? '"' : k == 1 ? '\\' : k == 2 ? '\n' : static_cast<char>('a' + i % 26);
    }
    auto marked = [&](bool escapes, bool crlf) {
        std::string out;
        for (char ch : text) {
            if ((escapes && (ch == '"' || ch == '\\')) || (crlf && ch == '\n')) {
                out += ch == '\n' ? '\r' : '\\';
            }
            out += ch;
        }
        return out;
    };
    CExprStore store;
    CExprTerm clause = store.NewClause("f");
    clause.AddStringAttribute("Notes", text);
    clause.AddElement(store.NewString(text));
    clause.AddElement(store.NewWord(text));
    for (LineEnd ending : {LineEnd::Lf, LineEnd::CrLf}) {
        const bool crlf = ending == LineEnd::CrLf;
        const std::string newline = crlf ? "\r\n" : "\n";
        const std::string expected = "f('Notes' = \"" + marked(true, crlf) + "\"," + newline +
                                     "  \"" + marked(true, crlf) + "\"," + newline + "  '" +
                                     marked(false, crlf) + "')." + newline + newline;
        EXPECT_TRUE(Clause(clause, ending) == expected) << (crlf ? "CR LF" : "LF");
    }
}

TEST(ExprTerm, AddAndPushKeepOrder) {
    CExprStore store;
    CExprTerm list = store.NewList();
    list.AddElement(store.NewInteger(2));
    list.PushElement(store.NewInteger(1));
    list.AddElement(store.NewInteger(3));
    EXPECT_EQ(Term(list), "[1, 2, 3]");
    EXPECT_EQ(list.Last().IntegerValue(), 3);
    CExprTerm empty = store.NewList();
    empty.PushElement(store.NewWord("only"));
    EXPECT_EQ(empty.First(), empty.Last());

    // Operations on a term that is not a list change nothing.
    CExprTerm word = store.NewWord("w");
    word.AddElement(store.NewInteger(1));
    word.PushElement(store.NewInteger(1));
    word.AddStringAttribute("a", "b");
    EXPECT_EQ(Term(word), "w");
    EXPECT_FALSE(word.FindAttributePair("a"));
    EXPECT_FALSE(word.First());
    EXPECT_EQ(word.GetFunctor(), "");
}

TEST(ExprTerm, AttributeLookup) {
    CExprStore store;
    CExprTerm c = store.NewClause("contact");
    c.AddElement(store.NewList());  // an empty list is passed over
    CExprTerm one = store.NewList();
    one.AddElement(store.NewWord("="));
    c.AddElement(one);  // so is a list of one element
    c.AddStringAttribute("City", "Springfield");
    c.AddStringAttribute("City", "Shelbyville");
    CExprTerm number = store.NewList();
    number.AddElement(store.NewWord("=="));  // a word beginning with '=' marks a pair
    number.AddElement(store.NewWord("Zip"));
    number.AddElement(store.NewInteger(12345));
    c.AddElement(number);
    CExprTerm bare = store.NewList();
    bare.AddElement(store.NewWord("="));
    bare.AddElement(store.NewWord("Web"));
    bare.AddElement(store.NewWord("example"));
    c.AddElement(bare);

    struct Case {
        const char* name;
        bool found;
        const char* text;
    };
    const Case cases[] = {
        {"City", true, "Springfield"},  // the first pair counts
        {"city", false, "untouched"},   // case-sensitive
        {"Zip", false, "untouched"},    // an integer value has no text
        {"Web", true, "example"},       // a word value gives its text
        {"Missing", false, "untouched"}, {"", false, "untouched"},
    };
    for (const Case& k : cases) {
        std::string text = "untouched";
        EXPECT_EQ(c.GetAttributeText(k.name, text), k.found) << k.name;
        EXPECT_EQ(text, k.text) << k.name;
    }
    EXPECT_EQ(c.FindAttributePair("Zip"), number);
    EXPECT_EQ(c.FindAttributeValue("Zip").IntegerValue(), 12345);
    EXPECT_FALSE(c.FindAttributeValue("Missing"));
    EXPECT_EQ(c.GetFunctor(), "contact");
}

TEST(ExprTerm, FunctorAndText) {
    CExprStore store;
    CExprTerm numbered = store.NewList();
    numbered.AddElement(store.NewInteger(1));
    EXPECT_EQ(numbered.GetFunctor(), "");
    EXPECT_EQ(store.NewList().GetFunctor(), "");
    EXPECT_EQ(store.NewString("s").WordOrStringText(), "s");
    EXPECT_EQ(store.NewInteger(3).WordOrStringText(), "");
    EXPECT_EQ(CExprTerm().Kind(), ExprNull);
}

TEST(ExprTerm, DestroyContentsEmptiesAndCellsAreReused) {
    CExprStore store;
    CExprTerm c = store.NewClause("f");
    CExprTerm inner = store.NewList();
    inner.AddElement(store.NewString("deep"));
    c.AddElement(inner);
    c.AddStringAttribute("a", "b");
    c.DestroyContents();
    EXPECT_EQ(c.Kind(), ExprList);
    EXPECT_FALSE(c.First());
    EXPECT_EQ(Term(c), "[]");

    CExprTerm s = store.NewString("text");
    s.DestroyContents();
    EXPECT_EQ(s.WordOrStringText(), "");

    // Released cells come back before the store grows.
    std::size_t before = store.BytesReserved();
    for (int i = 0; i < 7; ++i) {
        store.NewInteger(i);
    }
    EXPECT_EQ(store.BytesReserved(), before);
    store.Free(c);
    EXPECT_EQ(c.Kind(), ExprNull);
}

TEST(ExprTerm, ClearInvalidatesHandles) {
    CExprStore store;
    CExprTerm c = store.NewClause("f");
    c.AddStringAttribute("a", "b");
    EXPECT_GT(store.BytesReserved(), 0u);
    store.Clear();
    EXPECT_EQ(store.BytesReserved(), 0u);
    EXPECT_EQ(c.Kind(), ExprNull);
    EXPECT_EQ(Term(c), "");
    CExprTerm again = store.NewClause("g");
    EXPECT_EQ(Clause(again), "g().\n\n");
}

TEST(ExprStore, LargeTextsAndManyTerms) {
    CExprStore store;
    std::string big(3 * 1024 * 1024 + 17, 'x');
    big[12345] = '\0';
    CExprTerm before = store.NewString("small");
    CExprTerm large = store.NewString(big);
    CExprTerm after = store.NewString("after");
    EXPECT_EQ(large.WordOrStringText(), big);
    EXPECT_EQ(before.WordOrStringText(), "small");
    EXPECT_EQ(after.WordOrStringText(), "after");
    // Texts whose length needs a multi-byte prefix.
    for (std::size_t n : {127u, 128u, 16383u, 16384u, 70000u}) {
        std::string t(n, 'q');
        EXPECT_EQ(store.NewString(t).WordOrStringText(), t) << n;
    }
    // More terms than one chunk holds.
    CExprTerm list = store.NewList();
    for (int i = 0; i < 200000; ++i) {
        list.AddElement(store.NewInteger(i));
    }
    int expected = 0;
    for (CExprTerm e = list.First(); e; e = e.Next()) {
        ASSERT_EQ(e.IntegerValue(), expected++);
    }
    EXPECT_EQ(expected, 200000);
}

TEST(ExprStore, AttributePairsStayCompact) {
    CExprStore store;
    const int clauses = 3200;
    for (int i = 0; i < clauses; ++i) {
        CExprTerm c = store.NewClause("contact");
        for (int f = 0; f < 32; ++f) {
            std::string name = "Field" + std::to_string(f);
            c.AddStringAttribute(name, f == 0 ? "Doe" + std::to_string(i) : "");
        }
    }
    double perPair = static_cast<double>(store.BytesReserved()) / (clauses * 32.0);
    EXPECT_LT(perPair, 90.0);
}

}  // namespace
}  // namespace clausedb
