// Where a page window stands, read from the window system at the moment it is needed, and
// moving a page there. Both use the top-left corner of the client area (without the frame that
// a window manager draws), so that a page change keeps the place under any window manager.
#pragma once

#include <QPoint>

class QWidget;

namespace tovaro::gui {

/// The top-left corner of the window's client area, in screen coordinates. On X11 this asks
/// the X server, since a window manager moves windows without waiting for the program.
QPoint ClientTopLeft(QWidget* window);

/// Puts the window's client area with its top-left corner at `place`, keeping its size.
void PlaceClient(QWidget* window, QPoint place);

} // namespace tovaro::gui
