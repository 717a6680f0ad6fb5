// The pages and the moves between them. Pages are created on first use and live until the
// program ends, so whatever the user entered survives while another page is shown.
#pragma once

#include "appearance_page/colour_dialog.h"
#include "appearance_page/screen_picker.h"
#include "wizard_shell/desktop_services.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tovaro::gui {

class AppearancePage;
class FileSelectionPage;
class GenerationPage;
class WizardPage;

class Wizard {
public:
    Wizard(DesktopServices& desktop, ColourDialog& dialog, PickerSources sources,
        QString startDirectory);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    /// Creates and shows the first page where the window system places new windows.
    void Start();

    /// Page `index` (from 0), created when first asked for.
    WizardPage* Page(size_t index);
    FileSelectionPage* Page1();
    AppearancePage* Page2();
    GenerationPage* Page3();

private:
    GenerationPage* MakeGenerationPage();

    struct Slot {
        std::function<WizardPage*()> make;
        std::unique_ptr<WizardPage> page;
    };

    DesktopServices& desktop_;
    ColourDialog& dialog_;
    PickerSources sources_;
    QString startDirectory_;
    std::vector<Slot> pages_; ///< in their order: each page's neighbours are its neighbours here
};

} // namespace tovaro::gui
