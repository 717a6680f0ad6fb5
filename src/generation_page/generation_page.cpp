#include "generation_page.h"

#include "core/failure_text.h"
#include "core/paths.h"
#include "core/run.h"
#include "status_panel.h"
#include "wizard_shell/accessibility.h"
#include "wizard_shell/document_opener.h"
#include "wizard_shell/layout.h"
#include "wizard_shell/link_label.h"
#include "wizard_shell/native_path.h"

#include "wizard_shell/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

namespace tovaro::gui {

namespace {

/// An address in the address block: underlined, in the desktop's link colour where it can be
/// read on the page (not on a dark desktop).
QWidget* AddressLink(QWidget* frame, const QString& text)
{
    auto* label = new LinkLabel(text, frame);
    label->setTextFormat(Qt::PlainText);
    MarkBold(label); // keeps its own font: underlined, normal weight
    QFont f = PageFont();
    f.setUnderline(true);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText,
        ReadableOn(pal.color(QPalette::Link), frame->palette().color(QPalette::Window)));
    label->setPalette(pal);
    return label;
}

} // namespace

GenerationPage::GenerationPage(DesktopServices& desktop, OtherPages pages)
    : WizardPage("Form3", QStringLiteral("Schritt 4 - Erzeugen der Suchfunktion"), desktop)
    , pages_(std::move(pages))
{
    // clang-format off
    const PageControls controls = BuildControls(this, {
        // name, kind, caption, frame, place, tab stop
        { "Frame1", kind::Frame, "Ausgabedatei", nullptr, { 120, 720, 7335, 1935 }, 0 },
        { "Text1", kind::Edit, nullptr, "Frame1", { 120, 360, 7095, 285 }, 3 },
        { "Label1", kind::Label, "Die Suchdatei wird unter dem gewählten Dateinamen erstellt.",
            "Frame1", { 120, 840, 7095, 255 }, 0 },
        { "Label16", kind::Label, "Stammverzeichnis auf Ihrem Webserver:", "Frame1",
            { 120, 1200, 7095, 255 }, 0 },
        { "Text2", kind::Edit, "https://www.ihre-website.example/", "Frame1",
            { 120, 1440, 7095, 285 }, 8 },
        // The help panel about the status lines.
        { "Frame5", kind::Frame, "Hilfe", nullptr, { 120, 2160, 7335, 3375 }, 0 },
        { "Label8", kind::Label, "Sollte eine Fehlermeldung auftreten so sind in Ihrer HTML "
            "Datei keine \"Meta Tags\" definiert.", "Frame5", { 120, 240, 7095, 255 }, 0 },
        { "Label9", kind::Label, "Fügen Sie bitte folgende Quelltexte zwischen <head> und "
            "</head> Ihrer HTML Dateien ein:", "Frame5", { 120, 600, 7095, 375 }, 0 },
        { "Label15", kind::BoldLabel, "Titel:", "Frame5", { 120, 1080, 7095, 255 }, 0 },
        { "Label14", kind::Label, "<title>Titel Ihrer Seite</title>", "Frame5",
            { 120, 1320, 6975, 255 }, 0 },
        { "Label11", kind::BoldLabel, "Seitenbeschreibung:", "Frame5",
            { 120, 1680, 7095, 255 }, 0 },
        { "Label10", kind::Label, "<meta name=\"Description\" content=\"Beschreibender Text\">",
            "Frame5", { 120, 1920, 6975, 255 }, 0 },
        { "Label13", kind::BoldLabel, "Stichwörter (für die Suche):", "Frame5",
            { 120, 2280, 7095, 255 }, 0 },
        { "Label12", kind::Label, "<meta name=\"Keywords\" content=\"Wort1,Wort2,.....\">",
            "Frame5", { 120, 2520, 6975, 255 }, 0 },
        { "Command3", kind::Button, "Hilfe schließen", "Frame5", { 5640, 2880, 1455, 375 }, 7 },
        // The status panel, in front of the help panel.
        { "Frame4", kind::Frame, "Status", nullptr, { 120, 2760, 7335, 2775 }, 0 },
        { "Label6", kind::Label, "Bitte warten Sie, die gewählten Dateien werden indiziert...",
            "Frame4", { 120, 360, 7095, 255 }, 0 },
        { "Stat", kind::Widget<QProgressBar>, nullptr, "Frame4", { 120, 720, 7095, 255 }, 0 },
        { "Command2", kind::Button, "Hilfe zu den Meldungen", "Frame4",
            { 4800, 1080, 2415, 375 }, 6 },
        { "Label7", kind::Label, "Meldungen", "Frame4", { 120, 1200, 7095, 255 }, 0 },
        { "List1", kind::Widget<FocusHonestList<QListWidget>>, nullptr, "Frame4", { 120, 1440, 7095, 1230 }, 5 },
        // The address block.
        { "Frame2", kind::PlainFrame, nullptr, nullptr, { 120, 5520, 7335, 975 }, 0 },
        { "Label3", kind::Label, kMakerName, "Frame2", { 120, 240, 7095, 255 }, 0 },
        { "Label5", AddressLink, kMakerWebAddressShown, "Frame2", { 120, 600, 1695, 255 }, 9 },
        { "Label4", AddressLink, kMakerMailAddress, "Frame2", { 3120, 600, 1575, 255 }, 10 },
        { "Image1", kind::Label, nullptr, "Frame2", { 5520, 300, 1320, 465 }, 0 },
        { "Command6", kind::Button, "<< S&chritt 3", nullptr, { 4680, 6960, 1215, 375 }, 1 },
        { "Command1", kind::Button, "Datei erzeugen", nullptr, { 6120, 6960, 1215, 375 }, 4 },
        { "Command7", kind::kFromFrame, nullptr, nullptr, {}, 2 },
        // Beside the help button, where the row of buttons leaves room.
        { "Check1", kind::Widget<QCheckBox>, "&Schreibweisen gleichsetzen", nullptr,
            { 1455, 7020, 3105, 255 }, 11 },
    });
    // clang-format on
    outputFileEdit_ = controls.Get<QLineEdit>("Text1");
    webRootEdit_ = controls.Get<QLineEdit>("Text2");
    messageHelp_ = controls.Get<QGroupBox>("Frame5");
    closeHelpButton_ = controls.Get<QPushButton>("Command3");
    spellingVariants_ = controls.Get<QCheckBox>("Check1");
    status_ = new StatusPanel(controls, [this](int row) { pages_.selectFile(row); });

    NameControl(outputFileEdit_, QStringLiteral("Ausgabedatei"));
    outputFileEdit_->setAccessibleDescription(controls.Get<QLabel>("Label1")->text());
    NameControl(webRootEdit_, QStringLiteral("Stammverzeichnis auf Ihrem Webserver"),
        controls.Get<QLabel>("Label16"));
    controls.Get<QLabel>("Label9")->setWordWrap(true);
    NameControl(spellingVariants_, QStringLiteral("Schreibweisen gleichsetzen"));
    const QString variantsHelp
        = QStringLiteral("Die Suche findet ein Wort auch in anderer "
                         "Schreibweise: ä = ae, ö = oe, ü = ue, ß = ss, é = e.");
    spellingVariants_->setToolTip(variantsHelp);
    spellingVariants_->setAccessibleDescription(variantsHelp);
    spellingVariants_->setChecked(desktop_.choices->SpellingVariants());
    connect(spellingVariants_, &QCheckBox::toggled, this,
        [this](bool on) { desktop_.choices->SetSpellingVariants(on); });
    // The help is labels only, which the keyboard does not reach: its button, where the focus
    // goes when it opens, carries the help's text for a screen reader.
    QStringList helpText;
    for (const char* name :
        { "Label8", "Label9", "Label15", "Label14", "Label11", "Label10", "Label13", "Label12" })
        helpText << controls.Get<QLabel>(name)->text();
    closeHelpButton_->setAccessibleDescription(helpText.join(QLatin1Char(' ')));
    auto* banner = controls.Get<QLabel>("Image1");
    banner->setPixmap(QPixmap(QStringLiteral(":/tovaro/banner.gif")));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Both middle panels are hidden until the first run; whichever is raised covers the other.
    messageHelp_->hide();
    controls.Get<QGroupBox>("Frame4")->hide();
    ReportVisibilityChanges(messageHelp_);
    ReportVisibilityChanges(controls.Get<QGroupBox>("Frame4"));
    // The progress stays readable during a run.
    KeepLiveWhileBusy(controls.Get<QGroupBox>("Frame4"));

    connect(controls.Get<LinkLabel>("Label5"), &LinkLabel::Clicked, this,
        [this] { OpenDocument(*desktop_.opener, kMakerWebAddress); });
    connect(controls.Get<LinkLabel>("Label4"), &LinkLabel::Clicked, this,
        [this] { OpenDocument(*desktop_.opener, kMakerMailLink); });
    connect(controls.Get<QPushButton>("Command1"), &QPushButton::clicked, this,
        &GenerationPage::RunGeneration);
    connect(status_, &StatusPanel::MessageHelpRequested, this, &GenerationPage::ShowMessageHelp);
    connect(closeHelpButton_, &QPushButton::clicked, this, &GenerationPage::CloseMessageHelp);
    connect(controls.Get<QPushButton>("Command6"), &QPushButton::clicked, this,
        &GenerationPage::PreviousPageRequested);

    // The page's one-time initialisation.
    outputFileEdit_->setText(ToDisplay(
        DefaultOutputPath(*desktop_.disk, ToBytes(desktop_.directory), ToBytes(QDir::homePath()))));
}

// The help panel covers the status panel and the web-root box. What it covers is hidden while
// it is open: Tab passes over it, and a screen reader reading the window line by line reads the
// help, not what lies under it. Closing the help hides it whole and brings them back.
void GenerationPage::ShowMessageHelp()
{
    const bool coveredFocus = status_->HasFocus() || webRootEdit_->hasFocus();
    messageHelp_->show();
    messageHelp_->raise();
    if (coveredFocus)
        closeHelpButton_->setFocus();
    status_->SetCovered(true);
    webRootEdit_->hide();
}

void GenerationPage::ShowHelpForPage()
{
    ShowMessageHelp();
    closeHelpButton_->setFocus();
}

void GenerationPage::CloseMessageHelp()
{
    const bool helpFocus = closeHelpButton_->hasFocus();
    webRootEdit_->show();
    status_->SetCovered(false);
    if (helpFocus && status_->HelpButton()->isVisible())
        status_->HelpButton()->setFocus();
    messageHelp_->hide();
}

void GenerationPage::RunGeneration()
{
    // Every input is read once, now: nothing typed while the run goes on changes this run.
    RunInputs in = pages_.readInputs();
    in.outputPath = ToBytes(outputFileEdit_->text());
    in.webRoot = webRootEdit_->text().toStdString();
    in.search.spellingVariants = spellingVariants_->isChecked();
    // The list emptied on purpose writes a page without entries; a list that is empty because
    // its folders could not be read writes nothing.
    in.allowEmpty = true;
    // The status panel takes the help's place.
    if (messageHelp_->isVisible())
        CloseMessageHelp();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunResult result;
    {
        // One action at a time: while the run lets the window repaint, nothing else starts,
        // above all not a second run or a change of the file list.
        const ActionsBlocked blocked;
        result = tovaro::RunGeneration(*desktop_.disk, in, *status_);
        if (result.groupChange)
            status_->StatusLine(GroupChangeText(*result.groupChange));
        status_->ShowProgress(); // the end state: the bar at the last file, its entry selected,
                                 // every line
    }
    QApplication::restoreOverrideCursor();
    // Heard before the message box, which does not cut it short: a left-out file is never
    // silent.
    Announce(this, status_->ShowOutcome(result));
    const QString message = ToDisplay(RunMessage(result, in, desktop_.disk->Style()));
    if (result.written)
        desktop_.messages->Information(this, QString::fromUtf8(kMessageTitle), message);
    else
        desktop_.messages->Warning(this, QString::fromUtf8(kMessageTitle), message);
}

} // namespace tovaro::gui
