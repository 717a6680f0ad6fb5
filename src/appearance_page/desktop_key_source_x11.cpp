// The key source of an X11 build: the X server's key map in an X11 session, the program's own
// keys elsewhere (a Wayland session, where no program sees another's keys).
#include "screen_sources.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

namespace tovaro::gui {

// In x11_key_source.cpp, apart from Qt's headers, which clash with Xlib's macros.
std::unique_ptr<KeySource> MakeX11KeySource(void* display);

std::unique_ptr<KeySource> MakeDesktopKeySource()
{
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (auto* display = x11->display())
            return MakeX11KeySource(display);
    }
    return std::make_unique<FocusKeySource>();
}

} // namespace tovaro::gui
