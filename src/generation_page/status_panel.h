// The status panel of page 3: the progress bar and the status list, driven by the run.
#pragma once

#include "core/run.h"
#include "wizard_shell/layout.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <functional>

class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QWidget;

namespace tovaro::gui {

class StatusPanel : public QObject, public RunSink {
    Q_OBJECT
public:
    /// Drives the panel's controls, which the page has made (the frame "Frame4" with the bar
    /// "Stat", the help button "Command2" and the status list "List1"); `selectFile` moves
    /// page 1's list selection.
    StatusPanel(const PageControls& controls, std::function<void(int)> selectFile);

    /// The help button, which gets the focus back when the help panel closes.
    QWidget* HelpButton() const;
    /// While the help panel covers it, the panel (once a run has shown it) is hidden: Tab
    /// passes over it, and a screen reader does not read it through the help.
    void SetCovered(bool covered);
    /// True when one of the panel's controls has the focus.
    bool HasFocus() const;

    void RunStarted(size_t count) override;
    void FileStarted(size_t index, const std::string& path) override;
    void StatusLine(const std::string& line) override;
    /// Shows where the run stands: the bar, page 1's selection and the new status lines.
    void ShowProgress();
    /// Replaces the panel's "please wait" with how the run ended: how many pages the index
    /// holds and how many lines this run added to the status list. Returns that text.
    QString ShowOutcome(const RunResult& result);

signals:
    void MessageHelpRequested();

private:
    // The run takes no input, so the panel is repainted at once rather than when the event
    // loop next runs, but at most this often: a site of many thousand pages is not held up by
    // its own progress display.
    static constexpr qint64 kPaintIntervalMs = 40;

    QGroupBox* frame_;
    bool shownByRun_ = false;
    bool covered_ = false;
    QLabel* stateLabel_; ///< "Bitte warten Sie, ...", then how the run ended
    QString waitText_;
    int linesBefore_ = 0; ///< the status list's lines from earlier runs
    QProgressBar* bar_;
    QPushButton* helpButton_; ///< "Hilfe zu den Meldungen"
    QListWidget* messageList_;
    std::function<void(int)> selectFile_;
    QElapsedTimer sincePaint_;
    int index_ = -1;
    QStringList lines_;
};

} // namespace tovaro::gui
