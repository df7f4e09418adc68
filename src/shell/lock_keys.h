// The state of the Caps Lock, Num Lock and Scroll Lock keys, for the status
// bar's indicator panes.
#pragma once

namespace shell {

struct LockKeyState {
    bool known = false;  // false when the window system cannot tell
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// Asks the window system (X11 keyboard indicators); unknown elsewhere.
LockKeyState QueryLockKeys();

}  // namespace shell
