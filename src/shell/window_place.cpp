#include "window_place.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef TOVARO_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#endif

namespace tovaro::gui {

QPoint ClientTopLeft(QWidget* window)
{
#ifdef TOVARO_HAVE_X11
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        Display* display = x11->display();
        if (display != nullptr && window->testAttribute(Qt::WA_WState_Created)) {
            ::Window child = 0;
            int x = 0;
            int y = 0;
            if (XTranslateCoordinates(display, static_cast<::Window>(window->winId()),
                    DefaultRootWindow(display), 0, 0, &x, &y, &child))
                return QPoint(x, y);
        }
    }
#endif
    return window->geometry().topLeft();
}

void PlaceClient(QWidget* window, QPoint place)
{
    const QRect rect(place, window->size());
    window->setGeometry(rect);
    // A window that was first placed by the window manager asks it again for a place at every
    // show, unless its position is set on the window itself.
    if (QWindow* handle = window->windowHandle())
        handle->setGeometry(rect);
#ifdef TOVARO_HAVE_X11
    // A page that was shown before and is hidden now may stand elsewhere in the X server than
    // Qt remembers (the window manager moved it while it had a frame), and Qt sends nothing for
    // a place it thinks the window has already. Move the unmapped window itself: the window
    // manager takes that place when the page is shown again.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        Display* display = x11->display();
        if (display != nullptr && window->testAttribute(Qt::WA_WState_Created)
            && !window->isVisible()) {
            XMoveWindow(display, static_cast<::Window>(window->winId()), place.x(), place.y());
            XFlush(display);
        }
    }
#endif
}

} // namespace tovaro::gui
