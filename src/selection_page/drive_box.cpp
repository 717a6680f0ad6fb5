#include "drive_box.h"

#include "wizard_shell/accessibility.h"
#include "wizard_shell/native_path.h"

#include <QDir>

namespace tovaro::gui {

DriveBox::DriveBox(QWidget* parent, VolumeLister lister, VolumeNamer namer)
    : QComboBox(parent)
    , lister_(std::move(lister))
    , namer_(std::move(namer))
{
    Refresh();
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &DriveBox::ChooseDrive);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        UpdateSpokenValue();
        // The arrow keys choose a drive without opening the list: say which.
        if (hasFocus() && spokenLabel_ != nullptr)
            Announce(this, spokenLabel_->text());
    });
}

void DriveBox::SetSpokenName(const QString& name)
{
    spokenName_ = name;
    if (spokenLabel_ == nullptr)
        spokenLabel_ = LabelInvisibly(this, name);
    UpdateSpokenValue();
}

void DriveBox::UpdateSpokenValue()
{
    if (spokenLabel_ == nullptr)
        return;
    const QString value = currentText();
    spokenLabel_->setText(
        value.isEmpty() ? spokenName_ : spokenName_ + QStringLiteral(", ") + value);
}

void DriveBox::Refresh()
{
    const QString current = currentData().toString();
    blockSignals(true);
    clear();
    for (const QString& root : lister_()) {
        const QString label = namer_ ? namer_(root) : QString();
        addItem(
            label.isEmpty() ? root : root + QStringLiteral(" [") + label + QLatin1Char(']'), root);
    }
    int i = findData(current);
    if (i >= 0)
        setCurrentIndex(i);
    blockSignals(false);
    UpdateSpokenValue();
}

QString DriveBox::RootOf(const QString& dir) const
{
    // The roots are written as the system writes them ("C:\\" on Windows); `dir` has "/".
    QString best = QStringLiteral("/");
    QString bestItem = best;
    for (int i = 0; i < count(); ++i) {
        const QString root = QDir::fromNativeSeparators(itemData(i).toString());
        const bool holds = dir == root
            || dir.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > best.size()) {
            best = root;
            bestItem = itemData(i).toString();
        }
    }
    return bestItem;
}

void DriveBox::FollowDirectory(const QString& dir)
{
    const QString root = RootOf(dir);
    lastDirectory_[root] = dir;
    int i = findData(root);
    if (i >= 0 && i != currentIndex()) {
        blockSignals(true);
        setCurrentIndex(i);
        blockSignals(false);
        UpdateSpokenValue();
    }
}

void DriveBox::ChooseDrive(int index)
{
    const QString root = itemData(index).toString();
    QString target = lastDirectory_.value(root, root);
    if (disk_ == nullptr || disk_->Examine(ToBytes(target)).kind != PathKind::Folder)
        target = root;
    emit DriveChosen(target);
}

} // namespace tovaro::gui
