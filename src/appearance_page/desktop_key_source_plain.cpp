// The key source where the program is built without X11: the program's own keys.
#include "screen_sources.h"

namespace tovaro::gui {

std::unique_ptr<KeySource> MakeDesktopKeySource()
{
    return std::make_unique<FocusKeySource>();
}

} // namespace tovaro::gui
