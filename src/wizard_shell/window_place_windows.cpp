// Page places on Windows, in device pixels: at 150 % a place in Qt's device-independent pixels
// is rounded, and a page changed back and forth moved by one pixel each time.
#include "window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <windows.h>

namespace tovaro::gui {

namespace {

// The window's handle on the Windows platform; none on another one (offscreen in tests) or
// before the window exists.
HWND Handle(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("windows")
        || !window->testAttribute(Qt::WA_WState_Created))
        return nullptr;
    return reinterpret_cast<HWND>(window->winId());
}

// Moves the window so that its client area's corner stands at `device`, in device pixels: the
// frame's width is taken from the window as it stands.
void MoveNative(HWND hwnd, QPoint device)
{
    RECT frame {};
    POINT client { 0, 0 };
    if (!::GetWindowRect(hwnd, &frame) || !::ClientToScreen(hwnd, &client))
        return;
    ::SetWindowPos(hwnd, nullptr, device.x() - (client.x - frame.left),
        device.y() - (client.y - frame.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

QPoint ClientTopLeft(QWidget* window)
{
    if (HWND hwnd = Handle(window)) {
        POINT client { 0, 0 };
        if (::ClientToScreen(hwnd, &client))
            return QPoint(client.x, client.y);
    }
    // Not created yet: Qt's place, in device pixels.
    const qreal ratio = window->screen() ? window->screen()->devicePixelRatio() : 1.0;
    return (QPointF(window->geometry().topLeft()) * ratio).toPoint();
}

void PlaceClient(QWidget* window, QPoint place)
{
    // A window not shown yet gets Qt's nearest place first; the exact one follows below, or
    // once it is shown.
    const qreal ratio = window->screen() ? window->screen()->devicePixelRatio() : 1.0;
    const QRect rect((QPointF(place) / ratio).toPoint(), window->size());
    window->setGeometry(rect);
    if (QWindow* handle = window->windowHandle())
        handle->setGeometry(rect);
    if (HWND hwnd = Handle(window))
        MoveNative(hwnd, place);
}

void KeepPlaceWhenShown(QWidget* window, QPoint place)
{
    if (HWND hwnd = Handle(window); hwnd != nullptr && window->isVisible())
        MoveNative(hwnd, place);
}

} // namespace tovaro::gui
