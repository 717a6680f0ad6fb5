// Close requests where the system shows a program none that Qt would not pass on (Windows,
// Wayland builds without X11): the filter lets every event through.
#include "close_requests.h"

namespace tovaro::gui {

CloseRequestFilter::CloseRequestFilter(
    std::function<bool(quintptr)> isPage, std::function<void()> end)
    : isPage_(std::move(isPage))
    , end_(std::move(end))
{
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}

} // namespace tovaro::gui
