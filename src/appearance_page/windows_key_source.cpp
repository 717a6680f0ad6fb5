// Escape from the keyboard's state, so that it is seen whichever program has the focus.
#include "screen_sources.h"

#include <windows.h>

namespace tovaro::gui {

namespace {

// GetAsyncKeyState's low bit says "went down since the previous query" (for this program),
// also when the key is up again; the high bit, "down now", catches a press whose low bit another
// query took. One source serves every picker, so no picker takes another's press.
class WindowsKeySource : public KeySource {
public:
    void BeginCounting(int virtualKey) override
    {
        if (virtualKey != kEscapeKey)
            return;
        // The query takes the low bit, which may still hold a press from before (the Escape
        // that closed the colour dialog); a key held down now counts once it is pressed anew.
        wasDown_ = (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
    }
    bool IsKeyPressed(int virtualKey) override
    {
        if (virtualKey != kEscapeKey)
            return false;
        const SHORT state = ::GetAsyncKeyState(VK_ESCAPE);
        const bool down = (state & 0x8000) != 0;
        const bool pressed = (state & 0x0001) != 0 || (down && !wasDown_);
        wasDown_ = down;
        return pressed;
    }

private:
    bool wasDown_ = false;
};

} // namespace

std::unique_ptr<KeySource> MakeDesktopKeySource()
{
    return std::make_unique<WindowsKeySource>();
}

} // namespace tovaro::gui
