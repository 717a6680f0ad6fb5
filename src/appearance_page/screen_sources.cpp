#include "screen_sources.h"

#include "wizard_shell/colour_convert.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>

namespace tovaro::gui {

QPoint CursorPointer::Position()
{
    return QCursor::pos();
}

std::optional<ColourValue> ScreenGrabPixels::ColourAt(QPoint p)
{
    QScreen* screen = QGuiApplication::screenAt(p);
    if (screen == nullptr)
        return std::nullopt;
    const QRect g = screen->geometry();
    const QImage image = screen->grabWindow(0, p.x() - g.x(), p.y() - g.y(), 1, 1).toImage();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return std::nullopt;
    return FromQColor(image.pixelColor(0, 0));
}

FocusKeySource::FocusKeySource()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

void FocusKeySource::BeginCounting(int)
{
    pressedSinceQuery_ = false;
}

bool FocusKeySource::IsKeyPressed(int virtualKey)
{
    if (virtualKey != kEscapeKey)
        return false;
    // Pressed since the previous query, a quick tap included.
    const bool result = pressedSinceQuery_;
    pressedSinceQuery_ = false;
    return result;
}

bool FocusKeySource::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat() && watched->isWidgetType()) {
            if (event->type() == QEvent::KeyPress) {
                if (!escapeDown_)
                    pressedSinceQuery_ = true;
                escapeDown_ = true;
            } else {
                escapeDown_ = false;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tovaro::gui
