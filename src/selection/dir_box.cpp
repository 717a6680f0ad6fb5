#include "dir_box.h"

#include "core/pattern.h"
#include "core/walk.h"
#include "native_path.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <algorithm>

namespace tovaro::gui {

DirBox::DirBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemActivated, this, &DirBox::openItem);
}

void DirBox::SetPath(const QString& requested)
{
    QString dir = QDir::cleanPath(requested.isEmpty() ? QStringLiteral("/") : requested);
    while (dir != QLatin1String("/") && !QFileInfo(dir).isDir())
        dir = QFileInfo(dir).path();
    const bool changed = dir != path_;
    path_ = dir;

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);

    // The chain from the root to the current directory, each step indented one more.
    QStringList parts = dir.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    std::string bytes = "/";
    auto* root = new QListWidgetItem(open, QStringLiteral("/"), this);
    root->setData(kBytesRole, QByteArray("/"));
    int depth = 1;
    for (const QString& part : parts) {
        bytes = JoinPath(bytes, ToBytes(part));
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + part, this);
        item->setData(kBytesRole, QByteArray::fromStdString(bytes));
        ++depth;
    }
    setCurrentRow(count() - 1);

    std::vector<std::string> subdirs = ListDirectoryNames(ToBytes(dir));
    std::sort(subdirs.begin(), subdirs.end(), [](const std::string& a, const std::string& b) {
        return QString::localeAwareCompare(ToDisplay(a), ToDisplay(b)) < 0;
    });
    const std::string base = ToBytes(dir);
    for (const std::string& name : subdirs) {
        if (!name.empty() && name[0] == '.')
            continue; // hidden, as in the file box
        auto* item = new QListWidgetItem(
            closed, QString(depth * 2, QLatin1Char(' ')) + ToDisplay(name), this);
        item->setData(kBytesRole, QByteArray::fromStdString(JoinPath(base, name)));
    }
    if (changed)
        emit PathChanged(path_);
}

void DirBox::openItem(QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    SetPath(ToDisplay(item->data(kBytesRole).toByteArray().toStdString()));
}

} // namespace tovaro::gui
