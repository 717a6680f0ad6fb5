// The list of chosen files (List1 of page 1): paths kept as their bytes, shown as text. A model
// of its own fills 100,000 rows in one insertion, without an item object per row.
#pragma once

#include "wizard_shell/accessibility.h"

#include <QAbstractListModel>
#include <QListView>
#include <string>
#include <vector>

namespace tovaro::gui {

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void Append(std::vector<std::string> paths);
    void Remove(int row);
    void Clear();
    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};

class FileListBox : public FocusHonestList<QListView> {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(model_->Paths().size()); }
    /// The entry as shown.
    QString Text(int row) const;
    const std::vector<std::string>& Paths() const { return model_->Paths(); }
    void Append(std::vector<std::string> paths) { model_->Append(std::move(paths)); }
    void RemoveRow(int row) { model_->Remove(row); }
    void Clear() { model_->Clear(); }

    /// The selected entry, -1 when none (at most one is selected).
    int SelectedRow() const;
    /// Selects `row` and makes it current; -1 selects nothing.
    void SetCurrentRow(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FileListModel* model_;
};

} // namespace tovaro::gui
