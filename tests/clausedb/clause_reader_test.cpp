#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clausedb/clause_scanner.h"
#include "clausedb/expr_database.h"

namespace clausedb {
namespace {

// ---- scanner

std::string Tokens(std::string_view text) {
    std::string out;
    const char* p = text.data();
    const char* end = p + text.size();
    for (;;) {
        ScannedToken t = ScanToken(p, end);
        if (t.code == TokEnd) {
            return out;
        }
        if (!out.empty()) {
            out += ' ';
        }
        out += std::to_string(t.code) + ":" + std::string(p, t.length);
        p += t.length;
    }
}

TEST(ClauseScanner, LongestMatchAndPriority) {
    struct Case {
        const char* input;
        const char* tokens;  // code:text, blank separated
    };
    const Case cases[] = {
        {"e", "14:e"},
        {"e5 else e_ E", "2:e5 100:  2:else 100:  2:e_ 100:  2:E"},
        {"1e5", "1:1 2:e5"},
        {"1e-5", "1:1 14:e 1:-5"},
        {"1.5e+3", "1:1 13:. 1:5 14:e 1:+3"},
        {"-007 - +", "1:-007 100:  8:- 100:  8:+"},
        {"'a b' '' 'open", "2:'a b' 100:  2:'' 100:  8:' 2:open"},
        {"'multi\nline'", "2:'multi\nline'"},
        {"\"a\\\"b\" \"\\\\\"", "3:\"a\\\"b\" 100:  3:\"\\\\\""},
        {"\"no end", "8:\" 2:no 100:  2:end"},
        {"\"ends in backslash\\", "8:\" 2:ends 100:  2:in 100:  2:backslash 8:\\"},
        {"()[],=.", "4:( 5:) 9:[ 10:] 6:, 11:= 13:."},
        {" \t \n\n", "100: \t  101:\n 101:\n"},
        {"/* a \"*/x", "102:/* a \"*/ 2:x"},
        {"/**/ /*/ x", "102:/**/ 100:  103:/*/ x"},
        {"/ *", "8:/ 100:  8:*"},
        {"\r;\x80", "8:\r 8:; 8:\x80"},
        {"\"/* no comment */\"", "3:\"/* no comment */\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tokens(c.input), c.tokens) << c.input;
    }
}

TEST(ClauseScanner, CrLfModeAndMoreInput) {
    struct Case {
        const char* input;
        InputLineEnd ending;
        bool more;
        int code;
        std::size_t length;
    };
    const InputLineEnd lf = InputLineEnd::Lf;
    const InputLineEnd crlf = InputLineEnd::CrLf;
    const Case cases[] = {
        {"\r\n", crlf, false, TokLineFeed, 2},
        {"\r\n", lf, false, TokOther, 1},
        {"\rx", crlf, false, TokOther, 1},
        {"\r", crlf, true, TokMore, 0},  // a line feed may follow
        {"\r", crlf, false, TokOther, 1},
        {"", lf, true, TokMore, 0},
        {"", lf, false, TokEnd, 0},
        {"abc", lf, true, TokMore, 0},  // the word may go on
        {"abc ", lf, true, TokWord, 3},
        {"e", lf, true, TokMore, 0},
        {"-", lf, true, TokMore, 0},
        {"12", lf, true, TokMore, 0},
        {"'ab", lf, true, TokMore, 0},
        {"\"ab\\\"", lf, true, TokMore, 0},
        {"/", lf, true, TokMore, 0},
        {"/* a *", lf, true, TokMore, 0},
        {"/* a */", lf, true, TokComment, 7},
        {"(", lf, true, TokOpen, 1},
    };
    for (const Case& c : cases) {
        std::string input = c.input;
        ScannedToken t = ScanToken(input.data(), input.data() + input.size(), c.ending, c.more);
        EXPECT_EQ(t.code, c.code) << c.input << (c.more ? " (more)" : "");
        EXPECT_EQ(t.length, c.length) << c.input;
    }
}

TEST(ClauseScanner, CookingTable) {
    struct Case {
        const char* body;
        bool escapes;
        InputLineEnd ending;
        const char* text;
    };
    const InputLineEnd lf = InputLineEnd::Lf;
    const InputLineEnd crlf = InputLineEnd::CrLf;
    const Case cases[] = {
        {"plain", true, lf, "plain"},
        {"say \\\"hi\\\"", true, lf, "say \"hi\""},
        {"a\\\\b", true, lf, "a\\b"},
        {"end\\\\", true, lf, "end\\"},
        {"\\n stays", true, lf, "\\n stays"},
        {"\\\\\\\"", true, lf, "\\\""},
        {"\\x\\\"", true, lf, "\\x\""},
        {"\\\"", false, lf, "\\\""},  // quoted words have no escapes
        {"a\r\nb\r\r\nc\rd", true, crlf, "a\nb\r\nc\rd"},
        {"a\r\nb", true, lf, "a\r\nb"},
        {"x\\\r\ny", true, crlf, "x\\\ny"},
        {"x\\\ry", true, crlf, "x\\\ry"},
        {"w\r\n", false, crlf, "w\n"},
    };
    for (const Case& c : cases) {
        std::string out = "<";
        CookText(c.body, c.escapes, c.ending, out);
        EXPECT_EQ(out, std::string("<") + c.text) << c.body;
    }
}

// ---- reader

struct ReadResult {
    bool ok;
    int clauses;
    int errors;
    std::string terms;  // every clause as a term, " | " between them
};

ReadResult Read(std::string_view text) {
    CExprDatabase db;
    bool ok = db.ReadText(text);
    std::string terms;
    db.ForEachClause([&](CExprTerm clause) {
        if (!terms.empty()) {
            terms += " | ";
        }
        clause.WriteTerm(terms);
    });
    return {ok, db.CountClauses(), db.ErrorCount(), terms};
}

TEST(ClauseReader, InputTable) {
    struct Case {
        const char* input;
        int clauses;
        int errors;
        const char* terms;
    };
    const Case cases[] = {
        {"", 0, 0, ""},
        {" \t\n/* only a comment */\n", 0, 0, ""},
        {"contact().", 1, 0, "[contact]"},
        {"x.", 1, 0, "[x]"},
        {"[a,].", 1, 0, "[a]"},
        {"f(a,).", 1, 0, "[f, a]"},
        {"[].", 1, 0, "[]"},
        {"f(,).", 0, 2, ""},
        {"f(a). g(. h(x).", 2, 2, "[f, a] | [h, x]"},
        {"f(x=e).", 0, 2, ""},
        {"f(x='e').", 1, 0, "[f, x = 'e']"},
        {"f(1.5e+3).", 1, 0, "[f, 1500]"},
        {"f(1.5e3).", 0, 2, ""},
        {"f(1e5).", 0, 2, ""},
        {"f(1e-5, 2e+2, 0.5e-2).", 1, 0, "[f, 1e-05, 200, 0.005]"},
        {"f(-1.5, 1.05, 1 . 5, -0.25).", 1, 0, "[f, -1.5, 1.05, 1.5, -0.25]"},
        {"f(100000, -7, +7, 007).", 1, 0, "[f, 100000, -7, 7, 7]"},
        {"f(99999999999, -99999999999).", 1, 0, "[f, 2147483647, -2147483648]"},
        {"f(1e+99, 1e-99, 1.-5, 3.4e+38, -1e+39).", 1, 0, "[f, inf, 0, 1, 3.4e+38, -inf]"},
        {"f(a = b = c).", 0, 2, ""},
        {"f(a = b, c = [1, g(h)], 'Q' = \"s\").", 1, 0, "[f, a = b, c = [1, [g, h]], 'Q' = \"s\"]"},
        {"1.", 0, 2, ""},
        {"\"text\".", 0, 2, ""},
        {"f(a)", 0, 1, ""},            // end of input inside a command
        {"f(a).\n.", 1, 2, "[f, a]"},  // a lone full stop
        {"f(\"a\nb\").", 1, 0, "[f, \"a\nb\"]"},
        {"f(a = \"x\\\\\", b = \"y\").", 1, 0, "[f, a = \"x\\\\\", b = \"y\"]"},
        {"f(a = \"\\\"q\\\"\").", 1, 0, "[f, a = \"\\\"q\\\"\"]"},
        {"f(\"kept \\n\").", 1, 0, "[f, \"kept \\\\n\"]"},
        {"f(a)\r\n.", 0, 2, ""},  // a carriage return outside a string
        {"f(\"cr\r\").", 1, 0, "[f, \"cr\r\"]"},
        {"f(a). /* left open", 1, 1, "[f, a]"},
        {"f(a). g( /* left open", 1, 1, "[f, a]"},
        {"f(a /* inside */). /**/", 1, 0, "[f, a]"},
        {"f(\"/* not a comment */\").", 1, 0, "[f, \"/* not a comment */\"]"},
        {"f('a b', 'it''s').", 0, 2, ""},
        {"f(\"no end).", 0, 2, ""},
        {"f(-).", 0, 2, ""},
        {"f(a); g(b).", 0, 2, ""},
        {"f(a). f(a).", 2, 0, "[f, a] | [f, a]"},
    };
    for (const Case& c : cases) {
        ReadResult r = Read(c.input);
        EXPECT_EQ(r.clauses, c.clauses) << c.input;
        EXPECT_EQ(r.errors, c.errors) << c.input;
        EXPECT_EQ(r.terms, c.terms) << c.input;
        EXPECT_EQ(r.ok, c.errors == 0) << c.input;
    }
}

TEST(ClauseReader, ErrorsAreReportedWithTheirLine) {
    using Reports = std::vector<SyntaxError>;
    struct Case {
        const char* input;
        Reports reports;
    };
    const Case cases[] = {
        {"f(a).\ng(.\nh(x).", {{2, "syntax error"}, {2, "Unrecognized command."}}},
        {"f(\"two\nlines\").\n/* a\nb */ g(,\n).",
         {{4, "syntax error"}, {5, "Unrecognized command."}}},
        {"f('x\ny', ;).", {{2, "syntax error"}, {2, "Unrecognized command."}}},
        {"f(a).\n\n/* open\n", {{3, "syntax error"}}},
        {"f(a", {{1, "syntax error"}}},
        // Within three tokens of an error nothing new is reported.
        {"f(,) ; g(a).", {{1, "syntax error"}, {1, "Unrecognized command."}}},
        {"f(, . ; g(a).",
         {{1, "syntax error"}, {1, "Unrecognized command."}, {1, "Unrecognized command."}}},
        // After three shifted tokens errors are reported again.
        {"f(, . g(;).",
         {{1, "syntax error"},
          {1, "Unrecognized command."},
          {1, "syntax error"},
          {1, "Unrecognized command."}}},
    };
    for (const Case& c : cases) {
        ParseErrors errors;
        CExprDatabase db;
        db.ReadText(c.input, {}, &errors);
        EXPECT_EQ(errors.Errors(), c.reports) << c.input;
        EXPECT_EQ(errors.Count(), static_cast<int>(c.reports.size())) << c.input;
        EXPECT_EQ(db.ErrorCount(), static_cast<int>(c.reports.size())) << c.input;
    }
    CExprDatabase silent;  // no record: the errors are only counted
    EXPECT_FALSE(silent.ReadText("f(,)."));
    EXPECT_EQ(silent.ErrorCount(), 2);
}

// Each read's errors go to the record given to that read, whatever other
// databases are made and whatever other reads run meanwhile, even a read
// inside the consumer of another.
TEST(ClauseReader, ErrorsBelongToTheirRead) {
    ParseErrors outer, inner;
    CExprDatabase db;
    int clauses = 0;
    EXPECT_FALSE(db.ReadText(
        "f(a).\ng(,).\nh(b).\n;.",
        [&](CExprTerm) {
            CExprDatabase other;  // made while the read runs
            CExprDatabase nested;
            EXPECT_FALSE(nested.ReadText("\n\nx(;).", {}, clauses++ == 0 ? &inner : nullptr));
            return true;
        },
        &outer));
    EXPECT_EQ(clauses, 2);
    EXPECT_EQ(outer.Errors(), (std::vector<SyntaxError>{{2, "syntax error"},
                                                        {2, "Unrecognized command."},
                                                        {4, "syntax error"},
                                                        {4, "Unrecognized command."}}));
    EXPECT_EQ(inner.Errors(),
              (std::vector<SyntaxError>{{3, "syntax error"}, {3, "Unrecognized command."}}));
    EXPECT_EQ(db.ErrorCount(), 4);

    // A record that keeps only the first error still counts them all; a
    // second read adds to it.
    ParseErrors first(1);
    CExprDatabase again;
    again.ReadText("f(,).\ng(,).", {}, &first);
    again.ReadText(";.", {}, &first);
    EXPECT_EQ(first.Count(), 6);
    EXPECT_EQ(first.Errors(), (std::vector<SyntaxError>{{1, "syntax error"}}));
    first.Clear();
    EXPECT_EQ(first.Count(), 0);
    EXPECT_TRUE(first.Errors().empty());
}

std::string Nested(int depth) {
    return "f(" + std::string(static_cast<std::size_t>(depth), '[') +
           std::string(static_cast<std::size_t>(depth), ']') + ").";
}

TEST(ClauseReader, NestingIsBoundedButArgumentCountIsNot) {
    ParseErrors errors;
    CExprDatabase db;
    EXPECT_TRUE(db.ReadText(Nested(500)));
    EXPECT_FALSE(db.ReadText(Nested(601), {}, &errors));
    ASSERT_FALSE(errors.Errors().empty());
    EXPECT_EQ(errors.Errors().back().message, "yacc stack overflow");
    EXPECT_FALSE(db.ReadText(Nested(100000)));
    EXPECT_EQ(db.CountClauses(), 1);

    std::string many = "f(0";
    for (int i = 1; i < 50000; ++i) {
        many += ", " + std::to_string(i);
    }
    many += ").";
    CExprDatabase wide;
    ASSERT_TRUE(wide.ReadText(many));
    CExprTerm last = wide.ClauseOf(wide.First()).Last();
    EXPECT_EQ(last.IntegerValue(), 49999);
}

TEST(ClauseReader, MegabyteStringReadsBack) {
    std::string note;
    for (int i = 0; note.size() < (1u << 20); ++i) {
        note += "line " + std::to_string(i) + " with \"quotes\" and \\ backslash\n";
    }
    CExprDatabase db;
    CExprTerm c = db.NewClause("contact");
    c.AddStringAttribute("Notes", note);
    db.AddClause(c);
    std::string text;
    db.WriteToString(text);
    CExprDatabase back;
    ASSERT_TRUE(back.ReadText(text));
    std::string read;
    ASSERT_TRUE(back.ClauseOf(back.First()).GetAttributeText("Notes", read));
    EXPECT_EQ(read, note);
}

TEST(ClauseReader, WrittenRealsReadBackAsNumbers) {
    struct Case {
        float value;
        ExprKind kind;
        const char* text;
    };
    const Case cases[] = {
        {100000.0f, ExprInteger, "100000"}, {1.5f, ExprReal, "1.5"},    {1e6f, ExprReal, "1e+06"},
        {-2.5e-7f, ExprReal, "-2.5e-07"},   {12.0f, ExprInteger, "12"},
    };
    for (const Case& c : cases) {
        CExprDatabase db;
        CExprTerm clause = db.NewClause("f");
        clause.AddElement(db.Store().NewReal(c.value));
        db.AddClause(clause);
        std::string text;
        db.WriteToString(text);
        CExprDatabase back;
        ASSERT_TRUE(back.ReadText(text)) << text;
        CExprTerm value = back.ClauseOf(back.First()).First().Next();
        EXPECT_EQ(value.Kind(), c.kind) << c.text;
        std::string written;
        value.WriteTerm(written);
        EXPECT_EQ(written, c.text);
    }
}

}  // namespace
}  // namespace clausedb
