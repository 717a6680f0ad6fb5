// Where a page window stands, read from the window system at the moment it is needed, and
// moving a page there. Both use the top-left corner of the client area (without the frame that
// a window manager draws), in the window system's own pixels (on X11 device pixels, which a
// scaled desktop does not round), so that a page change keeps the place under any window
// manager and at any scale.
#pragma once

#include <QPoint>

class QWidget;

namespace tovaro::gui {

/// The top-left corner of the window's client area on the screen. On X11 this asks the X
/// server, since a window manager moves windows without waiting for the program.
QPoint ClientTopLeft(QWidget* window);

/// Puts the window's client area with its top-left corner at `place` (as ClientTopLeft gives
/// it), keeping its size; for a window about to be shown.
void PlaceClient(QWidget* window, QPoint place);

/// Asks for the place again once the window is shown: window managers that pull a new window
/// onto the screen honour a move of a mapped window (KWin only through the desktop standard's
/// move request).
void KeepPlaceWhenShown(QWidget* window, QPoint place);

} // namespace tovaro::gui
