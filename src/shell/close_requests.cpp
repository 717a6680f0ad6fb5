#include "close_requests.h"

#include "wizard_page.h"

#include <QApplication>
#include <QWidget>

#ifdef TOVARO_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>
#endif

namespace tovaro::gui {

CloseRequestFilter::CloseRequestFilter(
    std::function<bool(quintptr)> isPage, std::function<void()> end)
    : isPage_(std::move(isPage))
    , end_(std::move(end))
{
#ifdef TOVARO_HAVE_X11
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (Display* display = x11->display()) {
            protocols_ = static_cast<unsigned>(XInternAtom(display, "WM_PROTOCOLS", False));
            deleteWindow_ = static_cast<unsigned>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        }
    }
#endif
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
#ifdef TOVARO_HAVE_X11
    if (protocols_ == 0 || type != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format == 32 && client->type == protocols_
        && client->data.data32[0] == deleteWindow_ && isPage_(client->window))
        end_();
#else
    (void)type;
    (void)message;
#endif
    return false;
}

void InstallCloseRequestFilter(std::function<void()> end)
{
    auto isPage = [](quintptr id) {
        QWidget* w = QWidget::find(static_cast<WId>(id));
        return qobject_cast<WizardPage*>(w) != nullptr;
    };
    // Lives as long as the program.
    static CloseRequestFilter filter(isPage, std::move(end));
    qApp->installNativeEventFilter(&filter);
}

} // namespace tovaro::gui
