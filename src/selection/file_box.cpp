#include "file_box.h"

#include "core/pattern.h"
#include "core/walk.h"
#include "native_path.h"

#include <QCollator>
#include <algorithm>

namespace tovaro::gui {

FileBox::FileBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void FileBox::SetDirectory(const QString& dir)
{
    directory_ = dir;
    Refresh();
}

void FileBox::SetPattern(const QString& pattern)
{
    pattern_ = pattern;
    Refresh();
}

std::string FileBox::DirectoryBytes() const
{
    return ToBytes(directory_);
}

std::string FileBox::NameBytes(int row) const
{
    const QListWidgetItem* it = item(row);
    return it == nullptr ? std::string() : it->data(kBytesRole).toByteArray().toStdString();
}

void FileBox::Refresh()
{
    const std::string pattern = ToBytes(pattern_);
    struct Listed {
        QString shown;
        std::string bytes;
    };
    std::vector<Listed> files;
    for (std::string& name : ListFileNames(ToBytes(directory_))) {
        if (name.empty() || name[0] == '.' || !MatchesFileNamePattern(name, pattern))
            continue;
        files.push_back({ ToDisplay(name), std::move(name) });
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::sort(files.begin(), files.end(), [&](const Listed& a, const Listed& b) {
        int c = collator.compare(a.shown, b.shown);
        return c != 0 ? c < 0 : a.bytes < b.bytes;
    });

    setUpdatesEnabled(false);
    clear();
    for (Listed& f : files) {
        auto* item = new QListWidgetItem(f.shown);
        item->setData(kBytesRole, QByteArray::fromStdString(f.bytes));
        addItem(item);
    }
    setUpdatesEnabled(true);
}

} // namespace tovaro::gui
