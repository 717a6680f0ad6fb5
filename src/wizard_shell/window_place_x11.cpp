// Page places on X11 servers, in the server's device pixels; other sessions of the same
// program (Wayland) place through Qt alone.
#include "window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <QtGui/qguiapplication_platform.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace tovaro::gui {

namespace {

Display* X11Display(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || !window->testAttribute(Qt::WA_WState_Created))
        return nullptr;
    return x11->display();
}

// The X server counts device pixels; Qt places windows in device-independent pixels, scaled
// by the screen's factor (QT_SCALE_FACTOR, or Xft.dpi) around the screen's top-left corner,
// which both share.
QPoint FromDevicePixels(QWidget* window, QPoint device)
{
    QScreen* screen = window->screen();
    if (screen == nullptr)
        return device;
    const QPoint origin = screen->geometry().topLeft();
    const QPointF logical = QPointF(device - origin) / screen->devicePixelRatio();
    return origin + QPoint(qRound(logical.x()), qRound(logical.y()));
}

// Moves the client area itself, in device pixels: Qt's own geometry would round a place that
// the scale factor does not divide.
void MoveNative(Display* display, QWidget* window, QPoint device)
{
    const auto id = static_cast<::Window>(window->winId());
    XMoveWindow(display, id, device.x(), device.y());
    // The desktop standard's move request, which KWin honours for a mapped window: static
    // gravity (the client area's corner), x and y given, from an application.
    XEvent e {};
    e.xclient.type = ClientMessage;
    e.xclient.window = id;
    e.xclient.message_type = XInternAtom(display, "_NET_MOVERESIZE_WINDOW", False);
    e.xclient.format = 32;
    XWindowAttributes attributes {};
    XGetWindowAttributes(display, id, &attributes);
    e.xclient.data.l[0]
        = StaticGravity | (1L << 8) | (1L << 9) | (1L << 10) | (1L << 11) | (1L << 12);
    e.xclient.data.l[1] = device.x();
    e.xclient.data.l[2] = device.y();
    e.xclient.data.l[3] = attributes.width;
    e.xclient.data.l[4] = attributes.height;
    XSendEvent(display, DefaultRootWindow(display), False,
        SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(display);
}

} // namespace

QPoint ClientTopLeft(QWidget* window)
{
    if (Display* display = X11Display(window)) {
        ::Window child = 0;
        int x = 0;
        int y = 0;
        if (XTranslateCoordinates(display, static_cast<::Window>(window->winId()),
                DefaultRootWindow(display), 0, 0, &x, &y, &child))
            return QPoint(x, y);
    }
    return window->geometry().topLeft();
}

void PlaceClient(QWidget* window, QPoint place)
{
    QPoint logical = place;
    if (qGuiApp->nativeInterface<QNativeInterface::QX11Application>() != nullptr)
        logical = FromDevicePixels(window, place);
    const QRect rect(logical, window->size());
    window->setGeometry(rect);
    // A window that was first placed by the window manager asks it again for a place at every
    // show, unless its position is set on the window itself.
    if (QWindow* handle = window->windowHandle())
        handle->setGeometry(rect);
}

void KeepPlaceWhenShown(QWidget* window, QPoint place)
{
    if (Display* display = X11Display(window); display != nullptr && window->isVisible())
        MoveNative(display, window, place);
}

} // namespace tovaro::gui
