#include "status_panel.h"

#include "wizard_shell/accessibility.h"
#include "wizard_shell/layout.h"
#include "wizard_shell/native_path.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace tovaro::gui {

StatusPanel::StatusPanel(const PageControls& controls, std::function<void(int)> selectFile)
    : QObject(controls.Get<QGroupBox>("Frame4"))
    , frame_(controls.Get<QGroupBox>("Frame4"))
    , stateLabel_(controls.Get<QLabel>("Label6"))
    , waitText_(stateLabel_->text())
    , bar_(controls.Get<QProgressBar>("Stat"))
    , helpButton_(controls.Get<QPushButton>("Command2"))
    , messageList_(controls.Get<QListWidget>("List1"))
    , selectFile_(std::move(selectFile))
{
    bar_->setTextVisible(false);
    messageList_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every line is one line of text: the list lays them out by the first one's height instead of
    // measuring all of them again at each batch a run adds (2,000 lines took a third of the
    // time from the click to the message box).
    messageList_->setUniformItemSizes(true);
    NameControl(messageList_, QStringLiteral("Meldungen"), controls.Get<QLabel>("Label7"));
    NameControl(bar_, QStringLiteral("Fortschritt"));
    connect(helpButton_, &QPushButton::clicked, this, &StatusPanel::MessageHelpRequested);
}

QWidget* StatusPanel::HelpButton() const
{
    return helpButton_;
}

void StatusPanel::SetCovered(bool covered)
{
    covered_ = covered;
    frame_->setVisible(shownByRun_ && !covered_);
}

bool StatusPanel::HasFocus() const
{
    return messageList_->hasFocus() || helpButton_->hasFocus();
}

void StatusPanel::RunStarted(size_t count)
{
    shownByRun_ = true;
    SetCovered(false);
    bar_->setMinimum(0);
    // A maximum not above the minimum is not applied.
    if (count >= 2)
        bar_->setMaximum(static_cast<int>(count - 1));
    stateLabel_->setText(waitText_);
    linesBefore_ = messageList_->count();
    selectFile_(-1);
    index_ = -1;
    lines_.clear();
    frame_->repaint();
    sincePaint_.start();
}

void StatusPanel::FileStarted(size_t index, const std::string&)
{
    index_ = static_cast<int>(index);
    if (sincePaint_.elapsed() >= kPaintIntervalMs)
        ShowProgress();
}

void StatusPanel::StatusLine(const std::string& line)
{
    lines_.append(ToDisplay(line));
}

void StatusPanel::ShowProgress()
{
    if (index_ >= 0) {
        bar_->setValue(index_);
        selectFile_(index_);
    }
    if (!lines_.isEmpty()) {
        messageList_->addItems(lines_);
        lines_.clear();
    }
    frame_->repaint();
    // The window answers during a long run (a site on a network share): it repaints, moves, and
    // a close request ends the program at once. The page that runs has blocked every other
    // action, so clicks and keys reach only disabled controls. (Holding user input back would
    // hold back the window manager's close request too, which Qt counts as input.)
    QCoreApplication::processEvents();
    sincePaint_.restart();
}

QString StatusPanel::ShowOutcome(const RunResult& result)
{
    // This run's lines: the list keeps those of earlier runs.
    const int lines = messageList_->count() - linesBefore_;
    const QString counted
        = lines == 0 ? QStringLiteral("keine Meldung") : CountOf(lines, "Meldung", "Meldungen");
    const QString outcome = result.written
        ? QStringLiteral("Fertig: ")
            + CountOf(static_cast<qsizetype>(result.entries), "Seite", "Seiten")
            + QStringLiteral(" im Index, ") + counted
        : QStringLiteral("Die Suchdatei wurde nicht geschrieben, ") + counted;
    stateLabel_->setText(outcome + QLatin1Char('.'));
    return outcome;
}

} // namespace tovaro::gui
