#include "dir_box.h"

#include "core/pattern.h"
#include "core/walk.h"
#include "wizard_shell/native_path.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <algorithm>

namespace tovaro::gui {

namespace {

constexpr int kLevelRole = Qt::UserRole + 2; // how far in the entry stands
constexpr int kIndent = 10; // pixels a level

// A folder of 16 by 16 pixels: closed, or open with its front flap tilted.
QIcon FolderIcon(bool open)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(224, 176, 48));
    p.drawRect(1, 4, 13, 10); // back
    p.drawRect(1, 2, 5, 2); // tab
    if (open) {
        QPainterPath flap;
        flap.moveTo(1, 14);
        flap.lineTo(4, 7);
        flap.lineTo(15, 7);
        flap.lineTo(12, 14);
        flap.closeSubpath();
        p.setBrush(QColor(255, 224, 120));
        p.drawPath(flap);
    }
    return QIcon(pixmap);
}

// Indents each entry, icon included, by its level, and shows the open folder in bold.
class TreeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(index.data(kLevelRole).toInt() * kIndent, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += index.data(kLevelRole).toInt() * kIndent;
        return size;
    }
};

} // namespace

DirBox::DirBox(QWidget* parent)
    : FocusHonestList<QListWidget>(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    setItemDelegate(new TreeDelegate(this));
    connect(this, &QListWidget::itemActivated, this, &DirBox::OpenItem);
}

bool DirBox::IsFolder(const QString& dir) const
{
    return disk_ != nullptr && disk_->Examine(ToBytes(dir)).kind == PathKind::Folder;
}

void DirBox::SetPath(const QString& requested)
{
    if (disk_ == nullptr)
        return;
    const PathStyle style = disk_->Style();
    QString dir = QDir::cleanPath(requested.isEmpty() ? QDir::rootPath() : requested);
    for (QString up = QFileInfo(dir).path(); !IsFolder(dir) && up != dir;
         up = QFileInfo(dir).path())
        dir = up;
    const bool changed = dir != path_;
    path_ = dir;

    clear();
    static const QIcon open = FolderIcon(true);
    static const QIcon closed = FolderIcon(false);

    // As a directory list shows it: the chain from the root (the drive, on Windows) down to the
    // open folder with open folders, one level further in each, the open folder in bold; then
    // its subfolders, closed, one level further in.
    const QString rootPath = dir.left(dir.indexOf(QLatin1Char('/')) + 1);
    QStringList parts = dir.mid(rootPath.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    std::string bytes = ToBytes(rootPath);
    auto* root = new QListWidgetItem(open, QDir::toNativeSeparators(rootPath), this);
    root->setData(kBytesRole, QByteArray::fromStdString(bytes));
    root->setData(kLevelRole, 0);
    int depth = 1;
    for (const QString& part : parts) {
        bytes = JoinPath(bytes, ToBytes(part), style);
        auto* item = new QListWidgetItem(open, part, this);
        item->setData(kBytesRole, QByteArray::fromStdString(bytes));
        item->setData(kLevelRole, depth);
        ++depth;
    }
    QListWidgetItem* opened = item(count() - 1);
    QFont bold = font();
    bold.setBold(true);
    opened->setFont(bold);
    opened->setToolTip(QStringLiteral("Geöffneter Ordner"));
    setCurrentRow(count() - 1);

    std::vector<std::string> subdirs = ListDirectoryNames(*disk_, ToBytes(dir));
    std::sort(subdirs.begin(), subdirs.end(), [](const std::string& a, const std::string& b) {
        return QString::localeAwareCompare(ToDisplay(a), ToDisplay(b)) < 0;
    });
    const std::string base = ToBytes(dir);
    for (const std::string& name : subdirs) {
        auto* item = new QListWidgetItem(closed, ToDisplay(name), this);
        item->setData(kBytesRole, QByteArray::fromStdString(JoinPath(base, name, style)));
        item->setData(kLevelRole, depth);
    }
    if (changed)
        emit PathChanged(path_);
}

void DirBox::OpenItem(QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    SetPath(ToDisplay(item->data(kBytesRole).toByteArray().toStdString()));
}

} // namespace tovaro::gui
