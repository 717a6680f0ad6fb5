// Page places where the program is built without X11: through Qt alone.
#include "window_place.h"

#include <QWidget>
#include <QWindow>

namespace tovaro::gui {

QPoint ClientTopLeft(QWidget* window)
{
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
}

void KeepPlaceWhenShown(QWidget*, QPoint) { }

} // namespace tovaro::gui
