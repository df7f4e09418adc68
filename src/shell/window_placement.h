// The main window's placement as stored in [Preferences] "WindowPos": ten
// numbers written as "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d".
//
//   flags, show command, minimized x, y, maximized x, y,
//   normal rectangle left, top, right, bottom
//
// The normal rectangle is the screen rectangle of the restored window, right
// and bottom exclusive.  Flags are 0, or kRestoreToMaximized when the window
// was maximized; the show command is kShowNormal or kShowMaximized (kShowHide
// when the program starts hidden).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

struct WindowPlacement {
    static constexpr unsigned kRestoreToMaximized = 2;
    static constexpr unsigned kShowHide = 0;
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;

    unsigned flags = 0;
    unsigned showCmd = kShowNormal;
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // In 64 bits: stored edges far apart (right 2147483647, left -1) give a
    // width beyond the range of int.
    std::int64_t Width() const { return std::int64_t{right} - left; }
    std::int64_t Height() const { return std::int64_t{bottom} - top; }
    bool operator==(const WindowPlacement&) const = default;
};

// Reads the ten numbers.  Each number may be preceded by blanks and carry a
// sign; the commas must follow the numbers directly; text after the tenth
// number is ignored.  Nothing when fewer than ten numbers can be read or a
// number does not fit its type (a value that would wrap is not a placement).
std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text);

// The ten numbers in the stored format.
std::string FormatWindowPlacement(const WindowPlacement& placement);

}  // namespace shell
