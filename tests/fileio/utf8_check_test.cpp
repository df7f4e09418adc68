// The streaming UTF-8 check agrees with the check of the whole text however
// the text is cut into pieces (an invalid first piece must not be forgotten).
#include <gtest/gtest.h>

#include <string>

#include "fileio/text_encoding.h"
#include "fileio/utf8_check.h"

namespace fileio {
namespace {

TEST(Utf8StreamCheck, AgreesWithTheWholeCheckAtEveryCut) {
    const std::string texts[] = {
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
                Utf8StreamCheck check;
                check.Feed(text.substr(0, first));
                check.Feed(text.substr(first, second - first));
                check.Feed(text.substr(second));
                EXPECT_EQ(check.Finish(), expected)
                    << testing::PrintToString(text) << " cut at " << first << ", " << second;
            }
        }
    }
}

}  // namespace
}  // namespace fileio
