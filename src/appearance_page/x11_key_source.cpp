// Escape from the X server's key map, so that it is seen whichever program has the focus.
#include "screen_sources.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tovaro::gui {

namespace {

// The previous state gives "went down since the previous query", shared by all callers.
class X11KeySource : public KeySource {
public:
    explicit X11KeySource(Display* display)
        : display_(display)
        , escape_(XKeysymToKeycode(display, XK_Escape))
    {
    }
    bool IsKeyPressed(int virtualKey) override
    {
        if (virtualKey != kEscapeKey || escape_ == 0)
            return false;
        char keys[32] = {};
        XQueryKeymap(display_, keys);
        const bool down = (keys[escape_ / 8] >> (escape_ % 8)) & 1;
        const bool result = down && !wasDown_;
        wasDown_ = down;
        return result;
    }

private:
    Display* display_;
    KeyCode escape_;
    bool wasDown_ = false;
};

} // namespace

std::unique_ptr<KeySource> MakeX11KeySource(void* display)
{
    return std::make_unique<X11KeySource>(static_cast<Display*>(display));
}

} // namespace tovaro::gui
