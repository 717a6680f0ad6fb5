#include "link_label.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tovaro::gui {

LinkLabel::LinkLabel(QWidget* parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : LinkLabel(parent)
{
    setText(text);
}

void LinkLabel::Activate()
{
    emit Clicked();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Activate();
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier
        && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        Activate();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace tovaro::gui
