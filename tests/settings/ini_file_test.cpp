#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace settings {
namespace {

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(IniFileTest, Reads) {
    const std::string prefs = "[Preferences]\nUseMRU=1\nNumMRU=5\n";
    const ReadCase cases[] = {
        {"plain", prefs, "Preferences", "NumMRU", "5"},
        {"section case", prefs, "PREFERENCES", "NumMRU", "5"},
        {"key case", prefs, "Preferences", "nummru", "5"},
        {"missing key", prefs, "Preferences", "Flatbar", std::nullopt},
        {"missing section", prefs, "Columns", "NumMRU", std::nullopt},
        {"empty text", "", "Preferences", "UseMRU", std::nullopt},
        {"blanks trimmed", "  [ Preferences ]  \n\t UseMRU \t=  7 \t\n", "Preferences", "UseMRU",
         "7"},
        {"value keeps inner blanks and quotes", "[S]\nK= \"a  b\" \n", "S", "K", "\"a  b\""},
        {"value after first equals", "[S]\nK=a=b==c\n", "S", "K", "a=b==c"},
        {"empty value", "[S]\nK=\n", "S", "K", ""},
        {"blank value", "[S]\nK=   \n", "S", "K", ""},
        {"first duplicate counts", "[S]\nK=1\nk=2\n", "S", "K", "1"},
        {"duplicate in a repeated section", "[S]\nA=1\n[T]\nK=t\n[s]\nK=2\nK=3\n", "S", "K", "2"},
        {"first section block wins", "[S]\nK=1\n[s]\nK=2\n", "S", "K", "1"},
        {"semicolon comment", "[S]\n;K=1\nK=2\n", "S", "K", "2"},
        {"hash comment", "[S]\n  # K=1\n", "S", "K", std::nullopt},
        {"inline text is not a comment", "[S]\nK=1 ; note\n", "S", "K", "1 ; note"},
        {"key before any section", "K=1\n[S]\n", "S", "K", std::nullopt},
        {"key in another section", "[T]\nK=1\n[S]\nJ=2\n", "S", "K", std::nullopt},
        {"CR LF", "[S]\r\nK=v\r\nL=w\r\n", "S", "K", "v"},
        {"CR LF last line", "[S]\r\nK=v\r\nL=w\r\n", "S", "L", "w"},
        {"no final line end", "[S]\nK=v", "S", "K", "v"},
        {"UTF-8 mark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        {"two UTF-8 marks", "\xEF\xBB\xBF\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        {"Windows-1252", "[S]\nK=M\xFCller \x80\n", "S", "K", "M\xC3\xBCller \xE2\x82\xAC"},
        {"header without bracket is no section", "[S]\nK=1\n[T\nK=2\n", "S", "K", "1"},
        {"keys after a broken header stay in the section", "[S]\n[T\nJ=2\n", "S", "J", "2"},
        {"text after header", "[S] ; note\nK=1\n", "S", "K", "1"},
        {"line without equals is no key", "[S]\nK\nK=2\n", "S", "K", "2"},
        {"name with spaces", "[Recent File List]\nFile1=/a b.qxd\n", "recent file list", "FILE1",
         "/a b.qxd"},
        {"non-ASCII names compared exactly", "[\xC3\x89t\xC3\xA9]\nK=1\n", "\xC3\x89t\xC3\xA9", "K",
         "1"},
        {"non-ASCII case not folded", "[\xC3\x89t\xC3\xA9]\nK=1\n", "\xC3\xA9t\xC3\xA9", "K",
         std::nullopt},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile doc = IniFile::Parse(c.text);
        std::optional<std::string_view> value = doc.Find(c.section, c.key);
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value) {
            EXPECT_EQ(*value, *c.expected);
        }
    }
}

TEST(IniFileTest, LinesOfAnyLength) {
    const std::string longValue(1 << 20, 'x');
    const std::string text = "[S]\nK=" + longValue + "\nL=2\n";
    IniFile doc = IniFile::Parse(text);
    EXPECT_EQ(doc.Find("S", "K"), longValue);
    EXPECT_EQ(doc.Find("S", "L"), "2");
    EXPECT_EQ(doc.Serialize(), text);
}

struct SetCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

// Serialising after one Set: every line not changed comes out byte for byte.
TEST(IniFileTest, SetChangesOnlyWhatItMust) {
    const SetCase cases[] = {
        {"empty document", "", "Preferences", "UseMRU", "1", "[Preferences]\nUseMRU=1\n"},
        {"rewrite value only", "; my settings\n[Preferences]\nUseMRU=1\nNumMRU=2\n\n[Other]\nX=y\n",
         "Preferences", "NumMRU", "8",
         "; my settings\n[Preferences]\nUseMRU=1\nNumMRU=8\n\n[Other]\nX=y\n"},
        {"keeps key spelling and spacing", "[prefs]\n  numMRU =  2   \n", "Prefs", "NUMMRU", "3",
         "[prefs]\n  numMRU =  3\n"},
        {"empty old value", "[S]\nK=\nL=1\n", "S", "K", "v", "[S]\nK=v\nL=1\n"},
        {"empty new value", "[S]\nK=old\n", "S", "K", "", "[S]\nK=\n"},
        {"only spaces and tabs after equals kept", "[S]\nK= \t\r\rold\n", "S", "K", "",
         "[S]\nK= \t\n"},
        {"first duplicate changed", "[S]\nK=1\nK=2\n", "S", "k", "9", "[S]\nK=9\nK=2\n"},
        {"new key at end of section before blanks", "[A]\nX=1\n\n\n[B]\nY=2\n", "A", "Z", "3",
         "[A]\nX=1\nZ=3\n\n\n[B]\nY=2\n"},
        {"new key after trailing comment", "[A]\nX=1\n; end of A\n\n[B]\n", "A", "Z", "3",
         "[A]\nX=1\n; end of A\nZ=3\n\n[B]\n"},
        {"new key in empty section", "[A]\n\n[B]\nY=2\n", "A", "Z", "3", "[A]\nZ=3\n\n[B]\nY=2\n"},
        {"new key in last section", "[A]\nX=1\n", "A", "Z", "3", "[A]\nX=1\nZ=3\n"},
        {"new key in first of repeated sections", "[A]\nX=1\n\n[B]\n[a]\nY=2\n", "A", "Z", "3",
         "[A]\nX=1\nZ=3\n\n[B]\n[a]\nY=2\n"},
        {"key of a later repeated section changed there", "[A]\nX=1\n[B]\n[a]\nY=2\n", "A", "Y",
         "5", "[A]\nX=1\n[B]\n[a]\nY=5\n"},
        {"new section after blank line", "[A]\nX=1\n", "Columns", "Sizes", "1,2",
         "[A]\nX=1\n\n[Columns]\nSizes=1,2\n"},
        {"new section, document ends blank", "[A]\nX=1\n\n", "B", "K", "v",
         "[A]\nX=1\n\n[B]\nK=v\n"},
        {"no final line end kept on rewrite", "[A]\nX=1", "A", "X", "2", "[A]\nX=2"},
        {"no final line end, key appended", "[A]\nX=1", "A", "Y", "2", "[A]\nX=1\nY=2\n"},
        {"no final line end, section appended", "[A]\nX=1", "B", "Y", "2",
         "[A]\nX=1\n\n[B]\nY=2\n"},
        {"CR LF becomes LF", "[A]\r\nX=1\r\n", "A", "X", "2", "[A]\nX=2\n"},
        {"key before any section untouched", "K=1\n[S]\n", "S", "K", "2", "K=1\n[S]\nK=2\n"},
        {"commented key not revived", "[S]\n;K=1\n", "S", "K", "2", "[S]\n;K=1\nK=2\n"},
        {"value with equals and quotes", "[S]\n", "S", "K", "\"a=b\"", "[S]\nK=\"a=b\"\n"},
        {"UTF-8 mark dropped", "\xEF\xBB\xBF[S]\nK=1\n", "S", "K", "2", "[S]\nK=2\n"},
        {"Windows-1252 file rewritten as UTF-8", "[S]\nName=Andr\xE9\nK=1\n", "S", "K", "2",
         "[S]\nName=Andr\xC3\xA9\nK=2\n"},
        {"section name with brackets inside", "", "[A", "K", "1", "[[A]\nK=1\n"},
    };
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile doc = IniFile::Parse(c.before);
        ASSERT_TRUE(doc.Set(c.section, c.key, c.value));
        EXPECT_EQ(doc.Serialize(), c.after);
        EXPECT_EQ(doc.Find(c.section, c.key), std::string_view(c.value));
        // What was written reads back the same.
        EXPECT_EQ(IniFile::Parse(doc.Serialize()).Find(c.section, c.key),
                  std::string_view(c.value));
    }
}

TEST(IniFileTest, SetRefusesWhatOneLineCannotHold) {
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"line feed in value", "S", "K", "a\nB=evil"},
        {"carriage return in value", "S", "K", "a\rb"},
        {"line feed in key", "S", "K\n[T]", "v"},
        {"equals in key", "S", "A=B", "v"},
        {"empty key", "S", "", "v"},
        {"blank around key", "S", " K", "v"},
        {"comment key", "S", ";K", "v"},
        {"hash key", "S", "#K", "v"},
        {"bracket key", "S", "[K", "v"},
        {"empty section", "", "K", "v"},
        {"bracket in section", "S]X", "K", "v"},
        {"line feed in section", "S\nT", "K", "v"},
        {"blank around section", "S ", "K", "v"},
        {"value not UTF-8", "S", "K", "\xFF"},
        {"key not UTF-8", "S", "K\xC3", "v"},
    };
    const std::string before = "[S]\nK=1\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile doc = IniFile::Parse(before);
        EXPECT_FALSE(doc.Set(c.section, c.key, c.value));
        EXPECT_EQ(doc.Serialize(), before);
    }
}

TEST(IniFileTest, EntriesListEveryKeyLineInSections) {
    IniFile doc = IniFile::Parse("X=0\n[A]\nK=1\n;C=2\nk=3\n[B]\nL = 4 \n");
    std::vector<IniEntry> entries = doc.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].section, "A");
    EXPECT_EQ(entries[1].key, "k");
    EXPECT_EQ(entries[1].value, "3");
    EXPECT_EQ(entries[2].section, "B");
    EXPECT_EQ(entries[2].key, "L");
    EXPECT_EQ(entries[2].value, "4");
}

}  // namespace
}  // namespace settings
