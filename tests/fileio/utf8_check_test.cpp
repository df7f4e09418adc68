// The streaming UTF-8 check agrees with the check of the whole text however
// the text is cut into pieces.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "fileio/text_encoding.h"
#include "fileio/utf8_check.h"

namespace fileio {
namespace {

bool CheckInPieces(std::string_view text, std::size_t firstCut, std::size_t secondCut) {
    Utf8StreamCheck check;
    check.Feed(text.substr(0, firstCut));
    check.Feed(text.substr(firstCut, secondCut - firstCut));
    check.Feed(text.substr(secondCut));
    return check.Finish();
}

TEST(Utf8StreamCheck, AgreesWithTheWholeCheckAtEveryCut) {
    const std::string texts[] = {
        "",
        "plain ascii",
        "Li\xC3\xA8ge \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x93\x96 end",  // 2, 3 and 4 bytes
        "Li\xE8ge",                                                    // Latin-1
        "cut at the end \xE6\x9D",                                     // incomplete
        "\xF0\x9F\x93",                                                // only an incomplete one
        "stray \x80 continuation",
        "overlong \xC0\xAF slash",
        "surrogate \xED\xA0\x80 half",
        "too high \xF4\x90\x80\x80",
        "\xC3\xA8\xC3",  // a good character, then a cut one
    };
    for (const std::string& text : texts) {
        const bool expected = IsValidUtf8(text);
        for (std::size_t first = 0; first <= text.size(); ++first) {
            for (std::size_t second = first; second <= text.size(); ++second) {
                EXPECT_EQ(CheckInPieces(text, first, second), expected)
                    << testing::PrintToString(text) << " cut at " << first << ", " << second;
            }
        }
    }
}

TEST(Utf8StreamCheck, StaysInvalidOnceInvalid) {
    Utf8StreamCheck check;
    EXPECT_TRUE(check.Feed("ok"));
    EXPECT_FALSE(check.Feed("\x80"));
    EXPECT_FALSE(check.Feed("fine again"));
    EXPECT_FALSE(check.Valid());
    EXPECT_FALSE(check.Finish());
}

}  // namespace
}  // namespace fileio
