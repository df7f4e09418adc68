#include "shell/window_placement.h"

#include <array>
#include <climits>
#include <cstdio>

namespace shell {

namespace {

// Reads one number the way a "%d" or "%u" conversion does: leading blanks,
// an optional sign, then at least one digit.  `pos` moves past the number.
std::optional<long long> ScanNumber(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' ||
                                 text[pos] == '\r' || text[pos] == '\v' || text[pos] == '\f')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::size_t start = pos;
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value > (LLONG_MAX - 9) / 10) {
            return std::nullopt;
        }
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text) {
    std::array<long long, 10> values{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') {
                return std::nullopt;
            }
            ++pos;
        }
        std::optional<long long> value = ScanNumber(text, pos);
        if (!value) {
            return std::nullopt;
        }
        // The first two are unsigned, the rest signed.
        long long low = i < 2 ? 0 : INT_MIN;
        long long high = i < 2 ? static_cast<long long>(UINT_MAX) : INT_MAX;
        if (*value < low || *value > high) {
            return std::nullopt;
        }
        values[i] = *value;
    }
    WindowPlacement p;
    p.flags = static_cast<unsigned>(values[0]);
    p.showCmd = static_cast<unsigned>(values[1]);
    p.minX = static_cast<int>(values[2]);
    p.minY = static_cast<int>(values[3]);
    p.maxX = static_cast<int>(values[4]);
    p.maxY = static_cast<int>(values[5]);
    p.left = static_cast<int>(values[6]);
    p.top = static_cast<int>(values[7]);
    p.right = static_cast<int>(values[8]);
    p.bottom = static_cast<int>(values[9]);
    return p;
}

std::string FormatWindowPlacement(const WindowPlacement& p) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.showCmd,
                  p.minX, p.minY, p.maxX, p.maxY, p.left, p.top, p.right, p.bottom);
    return buffer;
}

}  // namespace shell
