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

class LinkLabel;
class StatusPanel;

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

signals:
    void PreviousPageRequested();

public slots:
    void RunGeneration();
    void ShowMessageHelp();
    void CloseMessageHelp();

private:
    OtherPages pages_;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr; ///< the output file
    QLineEdit* Text2 = nullptr; ///< the web root
    QGroupBox* Frame5 = nullptr; ///< the help panel
    QPushButton* Command3 = nullptr;
    QGroupBox* Frame4 = nullptr; ///< the status panel's frame
    StatusPanel* status_ = nullptr;
    QGroupBox* Frame2 = nullptr; ///< the address block
    LinkLabel* Label5 = nullptr;
    LinkLabel* Label4 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace tovaro::gui
