#include "addressbook/vcard_syntax.h"

#include <gtest/gtest.h>

namespace addressbook::vcard {
namespace {

// A content line parsed and decoded as the reader does, written back.
std::string Normalized(std::string_view line) {
    Property property;
    if (!ParseContentLine(line, property)) {
        return "(no property)";
    }
    DecodeTransport(property);
    return FormatContentLine(property) + (property.undecoded ? " (undecoded)" : "");
}

TEST(VCardSyntax, ParsesGroupsParametersAndValues) {
    Property p;
    ASSERT_TRUE(ParseContentLine(
        "item1.ADR;type=HOME;LABEL=\"1 Main St;\nSpringfield: IL\";x-a=1,\"b,c\":;;1 Main", p));
    EXPECT_EQ(p.group, "item1");
    EXPECT_EQ(p.name, "ADR");
    ASSERT_EQ(p.params.size(), 3u);
    EXPECT_EQ(p.params[1].value, "\"1 Main St;\nSpringfield: IL\"");
    EXPECT_EQ(ParamValues(p.params[2].value), (std::vector<std::string>{"1", "b,c"}));
    EXPECT_EQ(p.value, ";;1 Main");
    EXPECT_TRUE(p.HasType("home"));
    EXPECT_FALSE(p.HasType("work"));

    // 2.1 parameters without names.
    ASSERT_TRUE(ParseContentLine("TEL;HOME;VOICE;QUOTED-PRINTABLE;URL:x", p));
    EXPECT_EQ(FormatHeader(p), "TEL;TYPE=HOME;TYPE=VOICE;ENCODING=QUOTED-PRINTABLE;VALUE=URL");

    for (const char* bad :
         {"no colon here", ":value without a name", "TEL;TYPE=\"open:quote", "item1.:x", ""}) {
        EXPECT_FALSE(ParseContentLine(bad, p)) << bad;
    }
}

TEST(VCardSyntax, RemovesTheTransportEncoding) {
    const std::pair<std::string, std::string> cases[] = {
        // Quoted-printable with its character set; line breaks become \n.
        {"NOTE;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Caf=E9=0D=0Abar=3D",
         "NOTE:Café\\nbar="},
        {"N;CHARSET=UTF-8;QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6rg;;;", "N:Müller;Jörg;;;"},
        {"FN;ENCODING=QUOTED-PRINTABLE:A=\r\nB", "FN:AB"},
        // Base64 text is decoded; a photo stays base64, without blanks.
        {"NOTE;ENCODING=b;CHARSET=UTF-8:SGVsbG8sIFdvcmxk", "NOTE:Hello, World"},
        {"PHOTO;ENCODING=BASE64;TYPE=JPEG: /9j/ 4AA=", "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AA="},
        {"X-BLOB;ENCODING=b:AAEC", "X-BLOB;ENCODING=b:AAEC"},  // bytes, not text
        // 8-bit text that is not UTF-8: Windows-1252.
        {"FN:Jos\xE9 \x80", "FN:José €"},
        {"FN;CHARSET=UTF-8:ok \xC3\xA9", "FN:ok é"},
        // A character set the program cannot read is kept as it came.
        {"FN;CHARSET=SHIFT_JIS:\x82\xA0",
         "FN;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=82=A0 "
         "(undecoded)"},
        {"FN;CHARSET=BIG5;ENCODING=QUOTED-PRINTABLE:=A4=A4",
         "FN;CHARSET=BIG5;ENCODING=QUOTED-PRINTABLE:=A4=A4 (undecoded)"},
        {"FN;CHARSET=BIG5;ENCODING=QUOTED-PRINTABLE:plain", "FN:plain"},
        {"TEL;TYPE=HOME;ENCODING=8BIT:555", "TEL;TYPE=HOME:555"},
        // Control characters are no text: kept byte for byte.
        {"NOTE;ENCODING=QUOTED-PRINTABLE:a=00b=",
         "NOTE;ENCODING=QUOTED-PRINTABLE:a=00b (undecoded)"},
        {std::string("X-A:a\0b\x01", 8), "X-A;ENCODING=QUOTED-PRINTABLE:a=00b=01 (undecoded)"},
        {"PHOTO;ENCODING=b:not base64 \xFF", "PHOTO;ENCODING=b:not base64 ÿ"},
        // A group before an empty name part, blanks around the name.
        {" . ADR :x", "ADR:x"},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(Normalized(line), expected) << line;
    }
}

TEST(VCardSyntax, EscapesAndComponents) {
    EXPECT_EQ(UnescapeText("a\\nb\\Nc\\,d\\;e\\\\f\\:g\\xh\\"), "a\nb\nc,d;e\\f:g\\xh\\");
    EXPECT_EQ(EscapeText("a\r\nb\rc\nd,e;f\\g"), "a\\nb\\nc\\nd\\,e\\;f\\\\g");
    for (const char* text : {"", "plain", "a,b;c\\d\ne", "\\\\n"}) {
        EXPECT_EQ(UnescapeText(EscapeText(text)), text);
    }
    EXPECT_EQ(SplitComponents("a;b\\;c;;d\\\\;e"),
              (std::vector<std::string_view>{"a", "b\\;c", "", "d\\\\", "e"}));
    EXPECT_EQ(SplitComponents(""), (std::vector<std::string_view>{""}));
}

TEST(VCardSyntax, FoldsAt75OctetsBetweenCharacters) {
    std::string out;
    AppendFolded(out, "NOTE:" + std::string(80, 'a'));
    EXPECT_EQ(out, "NOTE:" + std::string(70, 'a') + "\r\n " + std::string(10, 'a') + "\r\n");

    // Two-byte characters across the fold stay whole; no line is longer
    // than 75 octets.
    std::string line = "FN:";
    for (int i = 0; i < 100; ++i) {
        line += "\xC3\xA9";
    }
    out.clear();
    AppendFolded(out, line);
    std::string unfolded;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find("\r\n", start);
        const std::string physical = out.substr(start, end - start);
        EXPECT_LE(physical.size(), 75u);
        EXPECT_NE(static_cast<unsigned char>(physical[start == 0 ? 0 : 1]) & 0xC0, 0x80u);
        unfolded += start == 0 ? physical : physical.substr(1);
        start = end + 2;
    }
    EXPECT_EQ(unfolded, line);

    // Never right after "=", which a reader of quoted-printable would take
    // for a soft line break.
    out.clear();
    AppendFolded(out, "NOTE;ENCODING=QUOTED-PRINTABLE:" + std::string(43, 'a') + "=00=00");
    EXPECT_EQ(out, "NOTE;ENCODING=QUOTED-PRINTABLE:" + std::string(43, 'a') + "\r\n =00=00\r\n");
}

TEST(VCardSyntax, DecodesQuotedPrintableAndBase64) {
    EXPECT_EQ(DecodeQuotedPrintable("a=3Db=\r\nc=zz=4"), "a=bc=zz=4");
    EXPECT_EQ(DecodeQuotedPrintable(EncodeQuotedPrintable("x= \x01\xFF ")), "x= \x01\xFF ");
    std::string out;
    EXPECT_TRUE(DecodeBase64("TWFu TWE= \r\n", out));
    EXPECT_EQ(out, "ManMa");
    EXPECT_TRUE(DecodeBase64("TQ==", out));
    EXPECT_EQ(out, "M");
    for (const char* bad : {"T", "TQ=x", "TQ===", "T!Q="}) {
        EXPECT_FALSE(DecodeBase64(bad, out)) << bad;
    }
}

}  // namespace
}  // namespace addressbook::vcard
