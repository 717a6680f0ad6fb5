// What the pages need of the desktop, behind small interfaces that tests replace.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tovaro {
class FileSystem;
}

namespace tovaro::gui {

class DocumentOpener;
class RememberedChoices;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void Warning(QWidget* parent, const QString& title, const QString& text) = 0;
};

class ModalMessageBoxes : public MessageBoxes {
public:
    void Information(QWidget* parent, const QString& title, const QString& text) override;
    void Warning(QWidget* parent, const QString& title, const QString& text) override;
};

/// What every page is handed: where the program lies, the file system it reads and writes, how
/// it opens documents and shows messages, what it remembers for the user, and how it ends.
struct DesktopServices {
    QString directory; ///< where the program runs from, no closing separator but at the root
    FileSystem* disk = nullptr;
    DocumentOpener* opener = nullptr;
    MessageBoxes* messages = nullptr;
    RememberedChoices* choices = nullptr;
    /// Ends the whole program at once; it does not return.
    std::function<void()> end;
};

/// Ends the process at once, without further events: nothing is left to save.
[[noreturn]] void EndProcessNow();

} // namespace tovaro::gui
