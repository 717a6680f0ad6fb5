#include "file_list_box.h"
#include "list_keys.h"

#include "core/text.h"
#include "wizard_shell/native_path.h"

namespace tovaro::gui {

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(paths_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(paths_.size()))
        return {};
    const std::string& p = paths_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        if (IsValidUtf8(p))
            return QString::fromUtf8(p.data(), static_cast<qsizetype>(p.size()));
        return ToDisplay(p);
    }
    if (role == kBytesRole)
        return QByteArray::fromStdString(p);
    return {};
}

void FileListModel::Append(std::vector<std::string> more)
{
    if (more.empty())
        return;
    const int first = static_cast<int>(paths_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(more.size()) - 1);
    paths_.insert(
        paths_.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    endInsertRows();
}

void FileListModel::Remove(int row)
{
    if (row < 0 || row >= static_cast<int>(paths_.size()))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    paths_.erase(paths_.begin() + row);
    endRemoveRows();
}

void FileListModel::Clear()
{
    beginResetModel();
    paths_.clear();
    endResetModel();
}

FileListBox::FileListBox(QWidget* parent)
    : FocusHonestList<QListView>(parent)
    , model_(new FileListModel(this))
{
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QString FileListBox::Text(int row) const
{
    return model_->data(model_->index(row), Qt::DisplayRole).toString();
}

int FileListBox::SelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void FileListBox::SetCurrentRow(int row)
{
    if (row < 0 || row >= Count()) {
        selectionModel()->clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    setCurrentIndex(model_->index(row));
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    if (!SelectFirstOrLast(this, event))
        FocusHonestList<QListView>::keyPressEvent(event);
}

} // namespace tovaro::gui
