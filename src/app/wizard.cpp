#include "wizard.h"

#include "appearance/appearance_page.h"
#include "generator/generation_page.h"
#include "selection/file_selection_page.h"

namespace tovaro::gui {

Wizard::Wizard(
    DesktopServices& desktop, ColourDialog& dialog, PickerSources sources, QString startDirectory)
    : desktop_(desktop)
    , dialog_(dialog)
    , sources_(sources)
    , startDirectory_(std::move(startDirectory))
{
}

Wizard::~Wizard()
{
    delete page3_;
    delete page2_;
    delete page1_;
}

void Wizard::Start()
{
    Page1()->show();
}

FileSelectionPage* Wizard::Page1()
{
    if (page1_ == nullptr) {
        page1_ = new FileSelectionPage(desktop_, startDirectory_);
        QObject::connect(page1_, &FileSelectionPage::NextPageRequested, page1_,
            [this] { ChangePage(page1_, Page2()); });
    }
    return page1_;
}

AppearancePage* Wizard::Page2()
{
    if (page2_ == nullptr) {
        page2_ = new AppearancePage(desktop_, dialog_, sources_);
        QObject::connect(page2_, &AppearancePage::PreviousPageRequested, page2_,
            [this] { ChangePage(page2_, Page1()); });
        QObject::connect(page2_, &AppearancePage::NextPageRequested, page2_,
            [this] { ChangePage(page2_, Page3()); });
    }
    return page2_;
}

GenerationPage* Wizard::Page3()
{
    if (page3_ == nullptr) {
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
        page3_ = new GenerationPage(desktop_, std::move(pages));
        QObject::connect(page3_, &GenerationPage::PreviousPageRequested, page3_,
            [this] { ChangePage(page3_, Page2()); });
    }
    return page3_;
}

} // namespace tovaro::gui
