#include "link_label.h"

#include <QMouseEvent>

namespace tovaro::gui {

LinkLabel::LinkLabel(QWidget* parent)
    : QLabel(parent)
{
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace tovaro::gui
