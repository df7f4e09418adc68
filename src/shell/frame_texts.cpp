#include "shell/frame_texts.h"

#include <cstdio>

namespace shell {

std::string ClockText(int hour, int minute) {
    const char* half = hour >= 12 ? "PM" : "AM";
    if (hour > 12) {
        hour -= 12;
    } else if (hour == 0) {
        hour = 12;
    }
    char buffer[32];
    // Minutes always take two digits.
    std::snprintf(buffer, sizeof buffer, " %d:%02d %s ", hour, minute, half);
    return buffer;
}

std::string FrameTitle(std::string_view appTitle, std::string_view bookPath,
                       std::string_view untitled) {
    std::string title(appTitle);
    title += " - [";
    title += bookPath.empty() ? untitled : bookPath;
    title += ']';
    return title;
}

}  // namespace shell
