// Test doubles for what the wizard needs of the desktop, and a wizard built on them.
#pragma once

#include "../core/test_util.h"
#include "app/wizard.h"
#include "appearance_page/appearance_page.h"
#include "appearance_page/colour_dialog.h"
#include "appearance_page/screen_sources.h"
#include "generation_page/generation_page.h"
#include "selection_page/file_selection_page.h"
#include "wizard_shell/accessibility.h"
#include "wizard_shell/desktop_services.h"
#include "wizard_shell/document_opener.h"
#include "wizard_shell/settings.h"

#include <QAccessible>
#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

// Texts in test failures as text, not as bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tovaro::test {

/// The control of a page (or of any widget) with the given object name, which is its control
/// name; a missing control ends the test program at once.
template <class T> T* Control(const QObject* page, const char* name)
{
    T* found = page->findChild<T*>(QLatin1String(name));
    if (found == nullptr) {
        std::fprintf(stderr, "no control %s of type %s\n", name, T::staticMetaObject.className());
        std::abort();
    }
    return found;
}

/// The page window with the given form name, or null while it has not been created (pages come
/// into being on first use).
inline QWidget* CreatedPage(const char* form)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(form))
            return w;
    }
    return nullptr;
}

/// Whether the screen picker `timerName` of a page is sampling.
inline bool PickerRunning(const QObject* page, const char* timerName)
{
    return Control<QTimer>(Control<QObject>(page, timerName), "tick")->isActive();
}

struct RecordingOpener : gui::DocumentOpener {
    QStringList opened;
    void Open(const QString& target) override { opened << target; }
};

struct RecordingMessages : gui::MessageBoxes {
    QStringList shown; // "info|title|text" or "warn|title|text"
    std::function<void()> showing; ///< called as a box shows
    void Information(QWidget*, const QString& title, const QString& text) override
    {
        if (showing)
            showing();
        shown << QStringLiteral("info|") + title + QLatin1Char('|') + text;
    }
    void Warning(QWidget*, const QString& title, const QString& text) override
    {
        if (showing)
            showing();
        shown << QStringLiteral("warn|") + title + QLatin1Char('|') + text;
    }
};

/// Answers each dialog run with the next scripted result; nothing scripted is a cancel.
struct ScriptedDialog : gui::ColourDialog {
    std::deque<std::optional<ColourValue>> answers;
    int runs = 0;
    bool Run(QWidget*, ColourValue& chosen) override
    {
        ++runs;
        if (answers.empty())
            return false;
        std::optional<ColourValue> a = answers.front();
        answers.pop_front();
        if (!a)
            return false;
        chosen = *a;
        return true;
    }
};

struct FakePointer : gui::PointerSource {
    QPoint at { 0, 0 };
    QPoint Position() override { return at; }
};

/// The colour at a point is x + 256 * y, so each position has its own colour.
struct FakePixels : gui::PixelSource {
    int reads = 0;
    std::optional<ColourValue> ColourAt(QPoint p) override
    {
        ++reads;
        return static_cast<ColourValue>(p.x() + 256 * p.y());
    }
};

/// Escape as the global key state reports it: a scripted press is seen by one query.
struct FakeKeys : gui::KeySource {
    bool down = false;
    bool wentDown = false;
    void Press()
    {
        down = true;
        wentDown = true;
    }
    /// Down and up again before the next query.
    void Tap()
    {
        down = false;
        wentDown = true;
    }
    /// A picker starts: what went down before is dropped, as the system's key state is read
    /// and dropped then.
    void BeginCounting(int) override
    {
        wentDown = false;
        ++begun;
    }
    void EndCounting() override { ++ended; }
    bool IsKeyPressed(int key) override
    {
        bool r = key == gui::kEscapeKey && wentDown;
        wentDown = false;
        return r;
    }
    int begun = 0;
    int ended = 0;
};

/// What the pages hand to a screen reader to say while it lives, in order. (Qt passes
/// accessibility events on only while a screen reader listens, so the log listens to the
/// pages' announcers.)
class SpokenLog {
public:
    explicit SpokenLog(std::initializer_list<QWidget*> windows)
    {
        for (QWidget* window : windows)
            QObject::connect(gui::Announcer::Of(window), &gui::Announcer::Said, &receiver_,
                [this](const QString& text) { said_ << text; });
    }

    /// What was said since the last call.
    QStringList Take() { return std::exchange(said_, {}); }

private:
    QObject receiver_;
    QStringList said_;
};

/// Choices remembered for as long as the test runs, off at first.
struct MemoryChoices : gui::RememberedChoices {
    bool spellingVariants = false;
    bool SpellingVariants() override { return spellingVariants; }
    void SetSpellingVariants(bool on) override { spellingVariants = on; }
};

struct Harness {
    RecordingOpener opener;
    MemoryChoices choices;
    RecordingMessages messages;
    ScriptedDialog dialog;
    FakePointer pointer;
    FakePixels pixels;
    FakeKeys keys;
    int ends = 0;
    gui::DesktopServices desktop;
    std::unique_ptr<gui::Wizard> wizard;

    explicit Harness(
        const QString& startDir, const QString& programDir = QStringLiteral("/opt/tovaro"))
    {
        desktop.directory = programDir;
        desktop.disk = &NativeDisk();
        desktop.opener = &opener;
        desktop.messages = &messages;
        desktop.choices = &choices;
        desktop.end = [this] { ++ends; };
        wizard = std::make_unique<gui::Wizard>(
            desktop, dialog, gui::PickerSources { &pointer, &pixels, &keys }, startDir);
        wizard->Start();
    }

    gui::FileSelectionPage* p1() { return wizard->Page1(); }
    gui::AppearancePage* p2() { return wizard->Page2(); }
    gui::GenerationPage* p3() { return wizard->Page3(); }

    /// While alive, "+++" and the run use `disk` (the boxes keep the disk they were made with).
    class UsingDisk {
    public:
        UsingDisk(Harness& h, FileSystem& disk)
            : h_(h)
            , previous_(std::exchange(h.desktop.disk, &disk))
        {
        }
        ~UsingDisk() { h_.desktop.disk = previous_; }
        UsingDisk(const UsingDisk&) = delete;
        UsingDisk& operator=(const UsingDisk&) = delete;

    private:
        Harness& h_;
        FileSystem* previous_;
    };
};

} // namespace tovaro::test
