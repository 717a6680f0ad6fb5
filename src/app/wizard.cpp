#include "wizard.h"

#include "appearance/appearance_page.h"
#include "generator/generation_page.h"
#include "selection/file_selection_page.h"

namespace tovaro::gui {

Wizard::Wizard(
    Program& program, ColourDialog& dialog, PickerSources sources, QString startDirectory)
    : program_(program)
    , dialog_(dialog)
    , sources_(sources)
    , startDirectory_(std::move(startDirectory))
{
}

Wizard::~Wizard()
{
    delete form3_;
    delete form2_;
    delete form1_;
}

void Wizard::Start()
{
    Form1()->show();
}

FileSelectionPage* Wizard::Form1()
{
    if (form1_ == nullptr) {
        form1_ = new FileSelectionPage(program_, startDirectory_);
        QObject::connect(form1_, &FileSelectionPage::NextPageRequested, form1_,
            [this] { ChangePage(form1_, Form2()); });
    }
    return form1_;
}

AppearancePage* Wizard::Form2()
{
    if (form2_ == nullptr) {
        form2_ = new AppearancePage(program_, dialog_, sources_);
        QObject::connect(form2_, &AppearancePage::PreviousPageRequested, form2_,
            [this] { ChangePage(form2_, Form1()); });
        QObject::connect(form2_, &AppearancePage::NextPageRequested, form2_,
            [this] { ChangePage(form2_, Form3()); });
    }
    return form2_;
}

GenerationPage* Wizard::Form3()
{
    if (form3_ == nullptr) {
        OtherPages pages;
        pages.readInputs = [this] {
            RunInputs in;
            in.files = Form1()->FileList();
            in.siteDir = Form1()->SiteDirectory();
            in.appearance = Form2()->Options();
            return in;
        };
        pages.selectFile = [this](int row) { Form1()->SelectEntry(row); };
        form3_ = new GenerationPage(program_, std::move(pages));
        QObject::connect(form3_, &GenerationPage::PreviousPageRequested, form3_,
            [this] { ChangePage(form3_, Form2()); });
    }
    return form3_;
}

} // namespace tovaro::gui
