#include "wizard.h"

#include "appearance_page/appearance_page.h"
#include "generation_page/generation_page.h"
#include "selection_page/file_selection_page.h"

namespace tovaro::gui {

Wizard::Wizard(
    DesktopServices& desktop, ColourDialog& dialog, PickerSources sources, QString startDirectory)
    : desktop_(desktop)
    , dialog_(dialog)
    , sources_(sources)
    , startDirectory_(std::move(startDirectory))
{
    // The pages in their order, one line each.
    pages_.push_back({ [this] { return new FileSelectionPage(desktop_, startDirectory_); }, {} });
    pages_.push_back({ [this] { return new AppearancePage(desktop_, dialog_, sources_); }, {} });
    pages_.push_back({ [this] { return MakeGenerationPage(); }, {} });
}

// Page 3 reads the other pages when its run starts, and moves page 1's selection as it goes.
GenerationPage* Wizard::MakeGenerationPage()
{
    OtherPages pages;
    pages.readInputs = [this] {
        RunInputs in;
        in.files = Page1()->FileList();
        in.siteDir = Page1()->SiteDirectory();
        in.unlistedFolders = Page1()->UnlistedFolders();
        in.appearance = Page2()->Options();
        return in;
    };
    pages.selectFile = [this](int row) { Page1()->SelectEntry(row); };
    return new GenerationPage(desktop_, std::move(pages));
}

Wizard::~Wizard()
{
    // The later pages first: they read the earlier ones.
    while (!pages_.empty())
        pages_.pop_back();
}

void Wizard::Start()
{
    Page(0)->show();
}

WizardPage* Wizard::Page(size_t index)
{
    Slot& slot = pages_.at(index);
    if (!slot.page) {
        slot.page.reset(slot.make());
        WizardPage* page = slot.page.get();
        if (index > 0)
            QObject::connect(page, &WizardPage::PreviousPageRequested, page,
                [this, page, index] { ChangePage(page, Page(index - 1)); });
        if (index + 1 < pages_.size())
            QObject::connect(page, &WizardPage::NextPageRequested, page,
                [this, page, index] { ChangePage(page, Page(index + 1)); });
    }
    return slot.page.get();
}

FileSelectionPage* Wizard::Page1()
{
    return static_cast<FileSelectionPage*>(Page(0));
}

AppearancePage* Wizard::Page2()
{
    return static_cast<AppearancePage*>(Page(1));
}

GenerationPage* Wizard::Page3()
{
    return static_cast<GenerationPage*>(Page(2));
}

} // namespace tovaro::gui
