// Home and End in the page's lists: they select the first or last entry even when it is the
// current one already, so that a keyboard user can always mark an entry to remove or add.
#pragma once

#include <QAbstractItemView>
#include <QKeyEvent>

namespace tovaro::gui {

/// Handles Home and End without modifiers; false for any other key.
inline bool SelectFirstOrLast(QAbstractItemView* view, QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() != Qt::NoModifier || (key != Qt::Key_Home && key != Qt::Key_End))
        return false;
    const int rows = view->model()->rowCount();
    if (rows > 0) {
        const QModelIndex target = view->model()->index(key == Qt::Key_Home ? 0 : rows - 1, 0);
        view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        view->scrollTo(target);
    }
    event->accept();
    return true;
}

} // namespace tovaro::gui
