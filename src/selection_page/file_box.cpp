#include "file_box.h"
#include "list_keys.h"

#include "core/pattern.h"
#include "core/text.h"
#include "core/walk.h"
#include "wizard_shell/native_path.h"

#include <algorithm>

namespace tovaro::gui {

FileBox::FileBox(QWidget* parent)
    : FocusHonestList<QListWidget>(parent)
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
    return row >= 0 && static_cast<size_t>(row) < names_.size() ? names_[static_cast<size_t>(row)]
                                                                : std::string();
}

void FileBox::Refresh()
{
    const FileNamePattern pattern(ToBytes(pattern_));
    struct Listed {
        std::string key; // the name folded to lower case, for the order
        std::string bytes;
    };
    std::vector<Listed> files;
    std::vector<std::string> names;
    if (disk_ != nullptr)
        names = ListFileNames(*disk_, ToBytes(directory_));
    for (std::string& name : names) {
        if (!pattern.Matches(name))
            continue;
        files.push_back({ LowerText(name), std::move(name) });
    }
    // By name without regard to letter case; equal names by their bytes.
    std::sort(files.begin(), files.end(), [](const Listed& a, const Listed& b) {
        return a.key != b.key ? a.key < b.key : a.bytes < b.bytes;
    });

    QStringList shown;
    shown.reserve(static_cast<qsizetype>(files.size()));
    names_.clear();
    names_.reserve(files.size());
    for (Listed& f : files) {
        shown << ToDisplay(f.bytes);
        names_.push_back(std::move(f.bytes));
    }
    setUpdatesEnabled(false);
    clear();
    addItems(shown);
    setUpdatesEnabled(true);
}

void FileBox::keyPressEvent(QKeyEvent* event)
{
    if (!SelectFirstOrLast(this, event))
        FocusHonestList<QListWidget>::keyPressEvent(event);
}

} // namespace tovaro::gui
