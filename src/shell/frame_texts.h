// Texts the main window shows: the status-bar clock and the window title.
#pragma once

#include <string>
#include <string_view>

namespace shell {

// The clock pane's text for a time of day, on a 12-hour clock with one blank
// before and after: 0:07 -> " 12:07 AM ", 12:00 -> " 12:00 PM ",
// 13:30 -> " 1:30 PM ".  `hour` is 0..23, `minute` 0..59.
std::string ClockText(int hour, int minute);

// The window title: the application title, then " - [" + the book's full
// path + "]", or " - [Untitled]"-style with `untitled` when the book has no
// path yet.
std::string FrameTitle(std::string_view appTitle, std::string_view bookPath,
                       std::string_view untitled);

}  // namespace shell
