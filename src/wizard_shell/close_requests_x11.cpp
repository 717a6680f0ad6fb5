// Close requests on X11: the window manager's WM_DELETE_WINDOW message for a page.
#include "close_requests.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace tovaro::gui {

CloseRequestFilter::CloseRequestFilter(
    std::function<bool(quintptr)> isPage, std::function<void()> end)
    : isPage_(std::move(isPage))
    , end_(std::move(end))
{
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (Display* display = x11->display()) {
            protocols_ = static_cast<unsigned>(XInternAtom(display, "WM_PROTOCOLS", False));
            deleteWindow_ = static_cast<unsigned>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        }
    }
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (protocols_ == 0 || type != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format == 32 && client->type == protocols_
        && client->data.data32[0] == deleteWindow_ && isPage_(client->window))
        end_();
    return false;
}

} // namespace tovaro::gui
