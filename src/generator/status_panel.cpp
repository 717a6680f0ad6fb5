#include "status_panel.h"

#include "shell/accessibility.h"
#include "shell/layout.h"
#include "shell/native_path.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace tovaro::gui {

StatusPanel::StatusPanel(QGroupBox* frame, std::function<void(int)> selectFile)
    : QObject(frame)
    , Frame4(frame)
    , selectFile_(std::move(selectFile))
{
    auto* label6 = MakeControl<QLabel>(Frame4, "Label6", { 120, 360, 7095, 255 },
        QStringLiteral("Bitte warten Sie, die gewählten Dateien werden indiziert..."));
    label6->setTextFormat(Qt::PlainText);
    Stat = MakeControl<QProgressBar>(Frame4, "Stat", { 120, 720, 7095, 255 });
    Stat->setTextVisible(false);
    Command2 = MakeButton(
        Frame4, "Command2", QStringLiteral("Hilfe zu den Meldungen"), 4800, 1080, 2415, 375);
    auto* label7 = MakeControl<QLabel>(
        Frame4, "Label7", { 120, 1200, 7095, 255 }, QStringLiteral("Meldungen"));
    label7->setTextFormat(Qt::PlainText);
    List1 = MakeControl<QListWidget>(Frame4, "List1", { 120, 1440, 7095, 1230 });
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    NameControl(List1, QStringLiteral("Meldungen"), label7);
    NameControl(Stat, QStringLiteral("Fortschritt"));
    connect(Command2, &QPushButton::clicked, this, &StatusPanel::MessageHelpRequested);
}

void StatusPanel::Raise()
{
    Frame4->raise();
}

QWidget* StatusPanel::ListStop() const
{
    return List1;
}

QWidget* StatusPanel::HelpStop() const
{
    return Command2;
}

void StatusPanel::SetReachable(bool reachable)
{
    List1->setFocusPolicy(reachable ? Qt::StrongFocus : Qt::NoFocus);
    Command2->setFocusPolicy(reachable ? Qt::StrongFocus : Qt::NoFocus);
}

bool StatusPanel::HasFocus() const
{
    return List1->hasFocus() || Command2->hasFocus();
}

void StatusPanel::RunStarted(size_t count)
{
    Frame4->show();
    Frame4->raise();
    Stat->setMinimum(0);
    // A maximum not above the minimum is not applied.
    if (count >= 2)
        Stat->setMaximum(static_cast<int>(count - 1));
    selectFile_(-1);
    index_ = -1;
    lines_.clear();
    Frame4->repaint();
    sincePaint_.start();
}

void StatusPanel::FileStarted(size_t index, const std::string&)
{
    index_ = static_cast<int>(index);
    if (sincePaint_.elapsed() >= kPaintIntervalMs)
        Show();
}

void StatusPanel::StatusLine(const std::string& line)
{
    lines_.append(ToDisplay(line));
}

void StatusPanel::Show()
{
    if (index_ >= 0) {
        Stat->setValue(index_);
        selectFile_(index_);
    }
    if (!lines_.isEmpty()) {
        List1->addItems(lines_);
        lines_.clear();
    }
    Frame4->repaint();
    // The window answers during a long run (a site on a network share): it repaints, and a
    // close request still ends the program. Clicks and keys wait, so the run stays one action.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sincePaint_.restart();
}

} // namespace tovaro::gui
