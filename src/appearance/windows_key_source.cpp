// Escape from the keyboard's state, so that it is seen whichever program has the focus.
#include "screen_sources.h"

#include <windows.h>

namespace tovaro::gui {

namespace {

// GetAsyncKeyState's low bit says "went down since the previous query", for this program.
class WindowsKeySource : public KeySource {
public:
    bool IsKeyPressed(int virtualKey) override
    {
        if (virtualKey != kEscapeKey)
            return false;
        const SHORT state = ::GetAsyncKeyState(VK_ESCAPE);
        return (state & 0x8000) != 0 && (state & 0x0001) != 0;
    }
};

} // namespace

std::unique_ptr<KeySource> MakeWindowsKeySource()
{
    return std::make_unique<WindowsKeySource>();
}

} // namespace tovaro::gui
