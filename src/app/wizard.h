// The three pages and the moves between them. Pages are created on first use and live until the
// program ends, so whatever the user entered survives while another page is shown.
#pragma once

#include "appearance/colour_dialog.h"
#include "appearance/screen_picker.h"
#include "shell/desktop_services.h"

#include <QString>

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

    /// Creates and shows page 1 where the window system places new windows.
    void Start();

    /// The pages, each created when first asked for.
    FileSelectionPage* Page1();
    AppearancePage* Page2();
    GenerationPage* Page3();

private:
    DesktopServices& desktop_;
    ColourDialog& dialog_;
    PickerSources sources_;
    QString startDirectory_;
    FileSelectionPage* page1_ = nullptr;
    AppearancePage* page2_ = nullptr;
    GenerationPage* page3_ = nullptr;
};

} // namespace tovaro::gui
