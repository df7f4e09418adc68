#include "addressbook/vcard_reader.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace addressbook::vcard {
namespace {

// A card as "line: NAME=value | ...", for readable comparisons.
std::string Describe(const Card& card) {
    std::string text = std::to_string(card.line) + ":";
    for (const Property& p : card.properties) {
        text += " " + FormatContentLine(p) + " |";
    }
    return text;
}

std::vector<std::string> Cards(const std::string& bytes, ReadProblems* problems = nullptr) {
    std::vector<std::string> cards;
    CVCardReader reader;
    reader.ReadBytes(bytes, [&](Card& card) { cards.push_back(Describe(card)); });
    if (problems != nullptr) {
        *problems = reader.Problems();
    }
    return cards;
}

TEST(VCardReader, UnfoldsLinesInEveryStyle) {
    const std::string crlf =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:one\r\n  two\r\n\t three\r\nFN:A\r\nEND:VCARD\r\n";
    const std::vector<std::string> expected = {"1: VERSION:3.0 | NOTE:one two three | FN:A |"};
    EXPECT_EQ(Cards(crlf), expected);
    std::string lf = crlf;
    std::erase(lf, '\r');
    EXPECT_EQ(Cards(lf), expected);
    std::string cr = crlf;
    std::erase(cr, '\n');
    EXPECT_EQ(Cards(cr), expected);
    // A UTF-8 byte-order mark, blank lines, lower case and several cards.
    EXPECT_EQ(Cards("\xEF\xBB\xBF\r\nbegin:vcard\r\nFN:A\r\n\r\nend:vcard\r\n\r\n"
                    "BEGIN:VCARD\nFN:B\nEND:VCARD"),
              (std::vector<std::string>{"2: FN:A |", "7: FN:B |"}));
}

TEST(VCardReader, JoinsQuotedPrintableSoftLineBreaks) {
    EXPECT_EQ(Cards("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                    "NOTE;ENCODING=QUOTED-PRINTABLE:first=0D=0A=\r\nsecond=\r\n=3D third\r\n"
                    "TEL;HOME:1\r\nEND:VCARD\r\n"),
              (std::vector<std::string>{"1: VERSION:2.1 | NOTE:first\\nsecond= third | "
                                        "TEL;TYPE=HOME:1 |"}));
    // A soft break at the end of the last value does not swallow END:VCARD.
    EXPECT_EQ(Cards("BEGIN:VCARD\nFN;QUOTED-PRINTABLE:A=\nEND:VCARD\n"),
              (std::vector<std::string>{"1: FN:A |"}));
}

TEST(VCardReader, ReadsUtf16) {
    const std::u16string units = u"BEGIN:VCARD\r\nFN:Zoë 😀\r\nEND:VCARD\r\n";
    for (bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t u : units) {
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        EXPECT_EQ(Cards(bytes), (std::vector<std::string>{"1: FN:Zoë 😀 |"})) << bigEndian;
        // The same without a byte-order mark.
        EXPECT_EQ(Cards(bytes.substr(2)), (std::vector<std::string>{"1: FN:Zoë 😀 |"}));
    }
}

TEST(VCardReader, SkipsWhatItCannotReadAndSaysWhere) {
    ReadProblems problems;
    const std::vector<std::string> cards = Cards(
        "junk before\n"                                     // 1
        "BEGIN:VCARD\nFN:Cut\n"                             // 2-3: no END, next BEGIN
        "BEGIN:VCARD\nFN:Good\nno colon\nEND:VCARD\n"       // 4-7
        "after\n\n"                                         // 8-9
        "BEGIN:VCARD\nFN:Truncated\nNOTE:lost at the end",  // 10-12
        &problems);
    EXPECT_EQ(cards, (std::vector<std::string>{"4: FN:Good |"}));
    ASSERT_EQ(problems.skippedCards.size(), 2u);
    EXPECT_EQ(problems.skippedCards[0].line, 2);
    EXPECT_EQ(problems.skippedCards[0].reason, "no END:VCARD");
    EXPECT_EQ(problems.skippedCards[1].line, 10);
    ASSERT_EQ(problems.skippedLines.size(), 1u);
    EXPECT_EQ(problems.skippedLines[0].line, 6);
    EXPECT_EQ(problems.skippedLines[0].reason, "no colon");
    EXPECT_EQ(problems.linesOutsideCards, 2);
}

TEST(VCardReader, RefusesHostileSizesInBoundedMemory) {
    CVCardReader::SetMaxPropertyBytesForTesting(1000);
    ReadProblems problems;
    // A property of 5,000 bytes, folded into many lines and in one line.
    std::string folded = "BEGIN:VCARD\nFN:A\nPHOTO;ENCODING=b:";
    for (int i = 0; i < 100; ++i) {
        folded += std::string(50, 'Q') + "\n ";
    }
    folded += "Q\nNOTE:kept\nEND:VCARD\n";
    const std::string oneLine =
        "BEGIN:VCARD\nFN:A\nitem9.PHOTO;ENCODING=b:" + std::string(5000, 'Q') +
        "\nNOTE:kept\nEND:VCARD\n";
    for (const std::string& text : {folded, oneLine}) {
        EXPECT_EQ(Cards(text, &problems), (std::vector<std::string>{"1: FN:A | NOTE:kept |"}));
        ASSERT_EQ(problems.skippedLines.size(), 1u);
        EXPECT_EQ(problems.skippedLines[0].line, 3);
        EXPECT_EQ(problems.skippedLines[0].reason, "PHOTO longer than 1000 bytes");
    }
    CVCardReader::SetMaxPropertyBytesForTesting(0);

    // A card of too many properties is skipped whole; the next one is read.
    std::string many = "BEGIN:VCARD\n";
    for (std::size_t i = 0; i <= kMaxCardProperties; ++i) {
        many += "X-N:" + std::to_string(i) + "\n";
    }
    many += "END:VCARD\nBEGIN:VCARD\nFN:B\nEND:VCARD\n";
    EXPECT_EQ(Cards(many, &problems).size(), 1u);
    ASSERT_EQ(problems.skippedCards.size(), 1u);
    EXPECT_EQ(problems.skippedCards[0].reason, "more than 10000 properties");
}

// The file is read in blocks: any block size gives the same cards.
TEST(VCardReader, FileReadInSmallBlocksGivesTheSameCards) {
    const std::string text =
        "\xEF\xBB\xBF"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FC=\r\n"
        "ller;J\r\nNOTE:long\r\n  folded\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Caf\xE9\r\nEND:VCARD";
    const std::vector<std::string> whole = Cards(text);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0], "1: VERSION:2.1 | N:Müller;J | NOTE:long folded |");
    testing::TempDir dir;
    const std::string path = dir.File("cards.vcf");
    testing::WriteBytes(path, text);
    for (std::size_t block : {1, 2, 3, 7, 64}) {
        CVCardReader::SetBlockSizeForTesting(block);
        std::vector<std::string> cards;
        CVCardReader reader;
        ASSERT_TRUE(reader.ReadFile(path, [&](Card& card) { cards.push_back(Describe(card)); }));
        EXPECT_EQ(cards, whole) << block;
    }
    CVCardReader::SetBlockSizeForTesting(0);
    CVCardReader reader;
    EXPECT_FALSE(reader.ReadFile(dir.File("missing.vcf"), [](Card&) {}));
    EXPECT_EQ(reader.ErrorText(), "No such file or directory");
}

}  // namespace
}  // namespace addressbook::vcard
