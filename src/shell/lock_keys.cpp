#include "shell/lock_keys.h"

#include <QGuiApplication>

#ifdef QUILLBOX_HAVE_X11
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#endif

namespace shell {

LockKeyState QueryLockKeys() {
    LockKeyState state;
#ifdef QUILLBOX_HAVE_X11
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return state;
    }
    auto indicator = [display](const char* name, bool& on) {
        Atom atom = XInternAtom(display, name, True);
        Bool value = False;
        if (atom != None &&
            XkbGetNamedIndicator(display, atom, nullptr, &value, nullptr, nullptr)) {
            on = value != False;
            return true;
        }
        return false;
    };
    bool caps = indicator("Caps Lock", state.caps);
    bool num = indicator("Num Lock", state.num);
    indicator("Scroll Lock", state.scroll);
    state.known = caps || num;
#endif
    return state;
}

}  // namespace shell
