// Page 3: output file and web root, the button that runs the generation, the status panel with
// its progress bar and status list, and the help panel about the status lines.
#pragma once

#include "core/run.h"
#include "wizard_shell/wizard_page.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tovaro::gui {

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
    GenerationPage(DesktopServices& desktop, OtherPages pages);

public slots:
    void RunGeneration();
    void ShowMessageHelp();
    void CloseMessageHelp();

protected:
    /// The help panel about the status lines, page 3's own help.
    void ShowHelpForPage() override;

private:
    OtherPages pages_;
    QLineEdit* outputFileEdit_ = nullptr;
    QLineEdit* webRootEdit_ = nullptr;
    QCheckBox* spellingVariants_ = nullptr; ///< the page's search takes spelling variants as one
    QGroupBox* messageHelp_ = nullptr; ///< the help panel about the status lines
    QPushButton* closeHelpButton_ = nullptr;
    StatusPanel* status_ = nullptr;
};

} // namespace tovaro::gui
