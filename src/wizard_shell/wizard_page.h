// The frame every page shares: caption, fixed size, background, heading, the two line pairs and
// the help button. A close request ends the whole program.
#pragma once

#include "desktop_services.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class QFrame;

namespace tovaro::gui {

class WizardPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 512; // 7680 twips
    static constexpr int kClientHeight = 503; // 7545 twips

    WizardPage(const char* formName, const QString& heading, DesktopServices& desktop);

signals:
    /// The page's "<< Schritt" button: the wizard shows the page before it in its place.
    void PreviousPageRequested();
    /// The page's ">> Schritt" button: the wizard shows the page after it in its place.
    void NextPageRequested();

protected:
    /// What F1 does, where users look for help on Windows and Linux desktops alike: what the
    /// page's help button does (the help document; a page with help of its own shows that).
    virtual void ShowHelpForPage();

    void closeEvent(QCloseEvent* event) override;
    /// A page keeps its fixed size: a maximise or full-screen request is undone.
    void changeEvent(QEvent* event) override;
    /// The first showing fits the captions to the fonts the system has.
    void showEvent(QShowEvent* event) override;

    DesktopServices& desktop_;

private:
    void OpenHelp();
    QWidget* helpButton_ = nullptr; ///< "Hilfe": F1 does nothing while it is disabled
    bool captionsFitted_ = false;
    QFrame* MakeLine(const char* name, int top, QPalette::ColorRole role);
};

/// While alive, no other action of the wizard can start: the controls of every page are
/// disabled, so that their clicks, keys, mnemonics and accessibility actions are refused, except
/// those marked with `KeepLiveWhileBusy` (a progress display). The pages still repaint, move and
/// close. Afterwards each control is enabled again and the focus goes back where it was.
class ActionsBlocked {
public:
    ActionsBlocked();
    ~ActionsBlocked();
    ActionsBlocked(const ActionsBlocked&) = delete;
    ActionsBlocked& operator=(const ActionsBlocked&) = delete;

private:
    std::vector<QPointer<QWidget>> disabled_;
    std::vector<QPointer<QWidget>> focus_; ///< each page's focus widget
};

/// Leaves `control` (a direct child of a page) usable while actions are blocked.
void KeepLiveWhileBusy(QWidget* control);

/// Moves `target` to the place of `current`, shows it and hides `current`.
void ChangePage(QWidget* current, QWidget* target);

} // namespace tovaro::gui
