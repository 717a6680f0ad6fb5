// Page 3: output file and web root, the button that runs the generation, the status panel with
// its progress bar and status list, and the help panel about the status lines.
#pragma once

#include "core/run.h"
#include "shell/wizard_page.h"

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace tovaro::gui {

/// What the run reads from and does to the other pages.
struct OtherPages {
    /// The file list and site directory of page 1, and the options of page 2, as they stand.
    std::function<RunInputs()> readInputs;
    /// Moves page 1's list selection (-1: none).
    std::function<void(int)> selectFile;
};

class GenerationPage : public WizardPage {
    Q_OBJECT
public:
    GenerationPage(Program& program, OtherPages pages);

    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label16 = nullptr;
    QLineEdit* Text2 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QPushButton* Command3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLabel* Label6 = nullptr;
    QProgressBar* Stat = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label7 = nullptr;
    QListWidget* List1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label3 = nullptr; ///< the line naming the maker
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command1 = nullptr;

signals:
    void PreviousPageRequested();

public slots:
    void RunGeneration();
    void ShowMessageHelp();
    void CloseMessageHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OtherPages pages_;
};

} // namespace tovaro::gui
