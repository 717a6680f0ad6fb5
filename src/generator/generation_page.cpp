#include "generation_page.h"

#include "core/paths.h"
#include "core/run.h"
#include "shell/accessibility.h"
#include "shell/document_opener.h"
#include "shell/layout.h"
#include "shell/link_label.h"
#include "shell/native_path.h"
#include "status_panel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace tovaro::gui {

namespace {

QLabel* MakeText(QWidget* frame, const char* name, Place p, const QString& text, bool bold = false)
{
    auto* label = MakeControl<QLabel>(frame, name, p, text);
    label->setTextFormat(Qt::PlainText);
    if (bold)
        MarkBold(label);
    return label;
}

LinkLabel* MakeLink(QWidget* frame, const char* name, Place p, const QString& text)
{
    auto* label = MakeControl<LinkLabel>(frame, name, p, text);
    label->setTextFormat(Qt::PlainText);
    MarkBold(label); // keeps its own font: underlined, normal weight
    QFont f = PageFont();
    f.setUnderline(true);
    label->setFont(f);
    // The desktop's link colour, where it can be read on the page (not on a dark desktop).
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText,
        ReadableOn(pal.color(QPalette::Link), frame->palette().color(QPalette::Window)));
    label->setPalette(pal);
    return label;
}

} // namespace

GenerationPage::GenerationPage(Program& program, OtherPages pages)
    : WizardPage("Form3", QStringLiteral("Schritt 4 - Erzeugen der Suchfunktion"), program)
    , pages_(std::move(pages))
{
    Frame1 = MakeFrame(this, "Frame1", QStringLiteral("Ausgabedatei"), { 120, 720, 7335, 1935 });
    Text1 = MakeControl<QLineEdit>(Frame1, "Text1", { 120, 360, 7095, 285 });
    auto* outputHint = MakeText(Frame1, "Label1", { 120, 840, 7095, 255 },
        QStringLiteral("Die Suchdatei wird unter dem gewählten Dateinamen erstellt."));
    auto* webRootLabel = MakeText(Frame1, "Label16", { 120, 1200, 7095, 255 },
        QStringLiteral("Stammverzeichnis auf Ihrem Webserver:"));
    Text2 = MakeControl<QLineEdit>(Frame1, "Text2", { 120, 1440, 7095, 285 },
        QStringLiteral("https://www.ihre-website.example/"));
    NameControl(Text1, QStringLiteral("Ausgabedatei"));
    Text1->setAccessibleDescription(outputHint->text());
    NameControl(Text2, QStringLiteral("Stammverzeichnis auf Ihrem Webserver"), webRootLabel);

    Frame5 = MakeFrame(this, "Frame5", QStringLiteral("Hilfe"), { 120, 2160, 7335, 3375 });
    MakeText(Frame5, "Label8", { 120, 240, 7095, 255 },
        QStringLiteral("Sollte eine Fehlermeldung auftreten so sind in Ihrer HTML Datei keine "
                       "\"Meta Tags\" definiert."));
    auto* label9 = MakeText(Frame5, "Label9", { 120, 600, 7095, 375 },
        QStringLiteral("Fügen Sie bitte folgende Quelltexte zwischen <head> und </head> Ihrer HTML "
                       "Dateien ein:"));
    label9->setWordWrap(true);
    MakeText(Frame5, "Label15", { 120, 1080, 7095, 255 }, QStringLiteral("Titel:"), true);
    MakeText(Frame5, "Label14", { 120, 1320, 6975, 255 },
        QStringLiteral("<title>Titel Ihrer Seite</title>"));
    MakeText(
        Frame5, "Label11", { 120, 1680, 7095, 255 }, QStringLiteral("Seitenbeschreibung:"), true);
    MakeText(Frame5, "Label10", { 120, 1920, 6975, 255 },
        QStringLiteral("<meta name=\"Description\" content=\"Beschreibender Text\">"));
    MakeText(Frame5, "Label13", { 120, 2280, 7095, 255 },
        QStringLiteral("Stichwörter (für die Suche):"), true);
    MakeText(Frame5, "Label12", { 120, 2520, 6975, 255 },
        QStringLiteral("<meta name=\"Keywords\" content=\"Wort1,Wort2,.....\">"));
    Command3
        = MakeButton(Frame5, "Command3", QStringLiteral("Hilfe schließen"), 5640, 2880, 1455, 375);

    Frame4 = MakeFrame(this, "Frame4", QStringLiteral("Status"), { 120, 2760, 7335, 2775 });
    status_ = new StatusPanel(Frame4, [this](int row) { pages_.selectFile(row); });

    Frame2 = MakeFrame(this, "Frame2", QString(), { 120, 5520, 7335, 975 }, false);
    MakeText(Frame2, "Label3", { 120, 240, 7095, 255 }, kMakerName);
    Label5 = MakeLink(Frame2, "Label5", { 120, 600, 1695, 255 }, kMakerWebAddressShown);
    Label4 = MakeLink(Frame2, "Label4", { 3120, 600, 1575, 255 }, kMakerMailAddress);
    auto* banner = MakeControl<QLabel>(Frame2, "Image1", { 5520, 300, 1320, 465 });
    banner->setPixmap(QPixmap(QStringLiteral(":/tovaro/banner.gif")));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(Label5, &LinkLabel::clicked, this,
        [this] { OpenDocument(*program_.opener, kMakerWebAddress); });
    connect(Label4, &LinkLabel::clicked, this,
        [this] { OpenDocument(*program_.opener, kMakerMailLink); });

    Command6 = MakeButton(this, "Command6", QStringLiteral("<< S&chritt 3"), 4680, 6960, 1215, 375);
    Command1
        = MakeButton(this, "Command1", QStringLiteral("Datei erzeugen"), 6120, 6960, 1215, 375);

    // Both middle panels are hidden until the first run; whichever is raised covers the other.
    Frame5->hide();
    Frame4->hide();

    NormalFontInFrames(this);
    LabelsBelowControls(this);

    SetTabOrder({ Command6, Command7, Text1, Command1, status_->ListStop(), status_->HelpStop(),
        Command3, Text2, Label5, Label4 });
    Command6->setFocus();

    connect(Command1, &QPushButton::clicked, this, &GenerationPage::RunGeneration);
    connect(status_, &StatusPanel::MessageHelpRequested, this, &GenerationPage::ShowMessageHelp);
    connect(Command3, &QPushButton::clicked, this, &GenerationPage::CloseMessageHelp);
    connect(Command6, &QPushButton::clicked, this, &GenerationPage::PreviousPageRequested);

    // The page's one-time initialisation.
    Text1->setText(
        ToDisplay(DefaultOutputPath(ToBytes(program_.directory), ToBytes(QDir::homePath()))));
}

// The help panel covers the status panel and the web-root box: while it is shown, Tab passes
// over them, and closing it hides it, so that nothing stays covered.
void GenerationPage::ShowMessageHelp()
{
    const bool coveredFocus = status_->HasFocus() || Text2->hasFocus();
    Frame5->show();
    Frame5->raise();
    status_->SetReachable(false);
    Text2->setFocusPolicy(Qt::NoFocus);
    if (coveredFocus)
        Command3->setFocus();
}

void GenerationPage::CloseMessageHelp()
{
    const bool helpFocus = Command3->hasFocus();
    Frame5->hide();
    status_->SetReachable(true);
    Text2->setFocusPolicy(Qt::StrongFocus);
    status_->Raise();
    if (helpFocus)
        status_->HelpStop()->setFocus();
}

void GenerationPage::RunGeneration()
{
    RunInputs in = pages_.readInputs();
    in.outputPath = ToBytes(Text1->text());
    in.webRoot = Text2->text().toStdString();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const RunResult result = tovaro::RunGeneration(in, *status_);
    if (!result.warning.empty())
        status_->StatusLine(result.warning);
    status_->Show(); // the end state: the bar at the last file, its entry selected, every line
    QApplication::restoreOverrideCursor();
    if (result.written)
        program_.messages->Information(
            this, QString::fromUtf8(kMessageTitle), QString::fromUtf8(kSuccessMessage));
    else
        program_.messages->Warning(
            this, QString::fromUtf8(kMessageTitle), ToDisplay(result.message));
}

} // namespace tovaro::gui
