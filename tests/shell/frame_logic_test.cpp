// The main window's pure rules: clock text and stored placement.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "shell/frame_texts.h"
#include "shell/window_placement.h"

namespace shell {
namespace {

TEST(ClockText, TwelveHourClockWithOneBlankEachSide) {
    struct Case {
        int hour;
        int minute;
        const char* expected;
    };
    const Case cases[] = {
        {0, 7, " 12:07 AM "},   {0, 0, " 12:00 AM "},   {9, 5, " 9:05 AM "},
        {11, 59, " 11:59 AM "}, {12, 0, " 12:00 PM "},  {12, 30, " 12:30 PM "},
        {13, 30, " 1:30 PM "},  {23, 59, " 11:59 PM "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClockText(c.hour, c.minute), c.expected) << c.hour << ":" << c.minute;
    }
}

TEST(WindowPlacement, ParseTable) {
    struct Case {
        const char* text;
        std::optional<WindowPlacement> expected;
    };
    const WindowPlacement normal{0, 1, -1, -1, -1, -1, 10, 20, 810, 620};
    const WindowPlacement maximized{2, 3, -1, -1, -8, -8, 100, 50, 900, 650};
    const Case cases[] = {
        {"0,1,-1,-1,-1,-1,10,20,810,620", normal},
        {"2,3,-1,-1,-8,-8,100,50,900,650", maximized},
        // Blanks before numbers are skipped, trailing text ignored.
        {" 0, 1, -1, -1, -1, -1, 10, 20, 810, 620", normal},
        {"0,1,-1,-1,-1,-1,10,20,810,620,99,junk", normal},
        {"0,1,-1,-1,-1,-1,10,20,810,620 junk", normal},
        {"+0,+1,-1,-1,-1,-1,+10,+20,810,620", normal},
        // Nine numbers, empty, a blank before a comma, letters: no placement.
        {"0,1,-1,-1,-1,-1,10,20,810", std::nullopt},
        {"", std::nullopt},
        {"0 ,1,-1,-1,-1,-1,10,20,810,620", std::nullopt},
        {"0,1,-1,-1,-1,-1,10,20,810,x", std::nullopt},
        {"0;1;-1;-1;-1;-1;10;20;810;620", std::nullopt},
        // Numbers that would wrap are refused rather than read modulo 2^32.
        {"0,1,-1,-1,-1,-1,10,20,4294967296,620", std::nullopt},
        {"-1,1,-1,-1,-1,-1,10,20,810,620", std::nullopt},
        {"0,1,-1,-1,-1,-1,10,20,810,99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseWindowPlacement(c.text), c.expected) << c.text;
    }
}

TEST(WindowPlacement, FormatsTenNumbersAndReadsBack) {
    WindowPlacement p{2, 3, -1, -1, -4, -4, 12, 34, 1012, 734};
    std::string text = FormatWindowPlacement(p);
    EXPECT_EQ(text, "2,3,-1,-1,-4,-4,12,34,1012,734");
    EXPECT_EQ(ParseWindowPlacement(text), p);
    WindowPlacement extremes{4294967295u, 0, -2147483647 - 1, 2147483647, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ParseWindowPlacement(FormatWindowPlacement(extremes)), extremes);
    // Width and height of the farthest edges, without wrapping.
    EXPECT_EQ(extremes.Width(), 0);
    WindowPlacement widest{0,          1,         -1, -1, -1, -1, -2147483647 - 1, -2147483647 - 1,
                           2147483647, 2147483647};
    EXPECT_EQ(widest.Width(), 4294967295LL);
    EXPECT_EQ(widest.Height(), 4294967295LL);
}

}  // namespace
}  // namespace shell
