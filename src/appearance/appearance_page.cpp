#include "appearance_page.h"

#include "shell/colour_convert.h"

#include "shell/accessibility.h"
#include "shell/layout.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tovaro::gui {

namespace {

const Appearance kDefaults;

} // namespace

AppearancePage::AppearancePage(Program& program, ColourDialog& dialog, PickerSources sources)
    : WizardPage("Form2", QStringLiteral("Schritt 1 - Wählen Sie die Farboptionen aus"), program)
    , DLG(dialog)
{
    Label1 = MakeControl<AnnouncedLabel>(this, "Label1", { 120, 120, 7455, 255 },
        QStringLiteral("Drücken Sie [Escape] um die momentan gewählte Farbe zu wählen und die "
                       "Pipette zu beenden."));
    // Red where it can be read on the page's background, as on a dark desktop.
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, ReadableOn(Qt::red, red.color(QPalette::Window)));
    Label1->setPalette(red);
    Label1->setAutoFillBackground(true); // covers the heading while shown
    Label1->hide();

    Frame1 = MakeFrame(
        this, "Frame1", QStringLiteral("Hintergrundfarbe des Dokuments"), { 120, 720, 7335, 855 });
    Shape1 = (MakeControl<QLabel>(Frame1, "Shape1", { 120, 240, 495, 495 }));
    Label5 = (MakeControl<QLabel>(Frame1, "Label5", { 960, 360, 615, 255 }, QStringLiteral("Hex")));
    Text4 = (MakeControl<QLineEdit>(Frame1, "Text4", { 1560, 360, 855, 285 },
        QString::fromStdString(kDefaults.backgroundColour)));
    Command2 = (MakeButton(
        Frame1, "Command2", QStringLiteral("Bildschirmpipette"), 2880, 360, 2055, 255));
    Command1
        = (MakeButton(Frame1, "Command1", QStringLiteral("Farbe wählen..."), 5160, 360, 2055, 255));

    Frame2 = MakeFrame(this, "Frame2", QStringLiteral("Textfarbe"), { 120, 1920, 7335, 855 });
    Shape2 = (MakeControl<QLabel>(Frame2, "Shape2", { 120, 240, 495, 495 }));
    Label3 = (MakeControl<QLabel>(Frame2, "Label3", { 960, 360, 615, 255 }, QStringLiteral("Hex")));
    Text1 = (MakeControl<QLineEdit>(
        Frame2, "Text1", { 1560, 360, 855, 285 }, QString::fromStdString(kDefaults.textColour)));
    Command3 = (MakeButton(
        Frame2, "Command3", QStringLiteral("Bildschirmpipette"), 2880, 360, 2055, 255));
    Command4
        = (MakeButton(Frame2, "Command4", QStringLiteral("Farbe wählen..."), 5160, 360, 2055, 255));

    Frame3 = MakeFrame(this, "Frame3", QStringLiteral("Textoptionen"), { 120, 3120, 7335, 1695 });
    Label4 = (MakeControl<QLabel>(
        Frame3, "Label4", { 120, 240, 1695, 255 }, QStringLiteral("Schriftart")));
    Combo1 = (MakeControl<QComboBox>(Frame3, "Combo1", { 120, 480, 6975, 315 }));
    Label6 = (MakeControl<QLabel>(
        Frame3, "Label6", { 120, 960, 2055, 255 }, QStringLiteral("Schriftgröße")));
    Combo2 = (MakeControl<QComboBox>(Frame3, "Combo2", { 120, 1200, 855, 315 }));

    Frame4 = MakeFrame(this, "Frame4", QStringLiteral("Text"), { 120, 5160, 7335, 1095 });
    Label7 = (MakeControl<QLabel>(
        Frame4, "Label7", { 120, 240, 7095, 255 }, QStringLiteral("Überschrift")));
    Text2 = (MakeControl<QLineEdit>(
        Frame4, "Text2", { 120, 600, 7095, 285 }, QString::fromStdString(kDefaults.heading)));

    Command8 = MakeButton(this, "Command8", QStringLiteral("<< S&chritt 1"), 4680, 6960, 1215, 375);
    Command6 = MakeButton(this, "Command6", QStringLiteral(">> &Schritt 3"), 6120, 6960, 1215, 375);

    for (QComboBox* combo : { Combo1, Combo2 }) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    Combo1->addItems({ QString::fromStdString(kDefaults.fontFace),
        QStringLiteral("Times New Roman, serif"), QStringLiteral("Courier New, Courier"),
        QStringLiteral("Georgia, Times"), QStringLiteral("Comic Sans MS, Arial") });
    Combo2->addItems({ "1", "2", "3", "4", "5", "6", "7" });
    Combo1->setCurrentText(QString::fromStdString(kDefaults.fontFace));
    Combo2->setCurrentText(QString::fromStdString(kDefaults.fontSize));

    // Both colour frames hold the same captions: the names tell which colour a control sets.
    NameControl(Text4, QStringLiteral("Hintergrundfarbe (Hex)"), Label5);
    NameControl(Command2, QStringLiteral("Bildschirmpipette Hintergrundfarbe"));
    NameControl(Command1, QStringLiteral("Hintergrundfarbe wählen..."));
    NameControl(Text1, QStringLiteral("Textfarbe (Hex)"), Label3);
    NameControl(Command3, QStringLiteral("Bildschirmpipette Textfarbe"));
    NameControl(Command4, QStringLiteral("Textfarbe wählen..."));
    NameControl(Combo1, QStringLiteral("Schriftart"), Label4);
    NameControl(Combo2, QStringLiteral("Schriftgröße"), Label6);
    NameControl(Text2, QStringLiteral("Überschrift"), Label7);

    for (QLabel* shape : { Shape1, Shape2 }) {
        shape->setAutoFillBackground(true);
        shape->setFrameShape(QFrame::Box);
    }
    // The tooltip background and the button text of the standard colour scheme.
    FillPreview(Shape1, MakeColour(0xFF, 0xFF, 0xE1));
    FillPreview(Shape2, MakeColour(0, 0, 0));

    // Labels, frames and previews take no focus.
    SetTabOrder({ Command6, Command7, Command8, Text4, Command1, Command2, Command3, Command4,
        Text1, Combo1, Combo2, Text2 });
    Command6->setFocus(); // the first stop of the tab order, when the page is first shown

    auto showHint = [this](bool on) { Label1->SetShown(on); };
    Timer1 = new ScreenPicker("Timer1", sources,
        { [this](ColourValue v) { FillPreview(Shape1, v); },
            [this](const QString& code) { Text4->setText(code); }, showHint },
        this);
    Timer2 = new ScreenPicker("Timer2", sources,
        { [this](ColourValue v) { FillPreview(Shape2, v); },
            [this](const QString& code) { Text1->setText(code); }, showHint },
        this);

    // In a Wayland session no program may read the screen: the desktop portal picks instead.
    backgroundPortal_
        = new PortalColourPicker({ [this](ColourValue v) { FillPreview(Shape1, v); },
                                     [this](const QString& code) { Text4->setText(code); },
                                     showHint, [this] { Timer1->Start(); } },
            this);
    textPortal_ = new PortalColourPicker({ [this](ColourValue v) { FillPreview(Shape2, v); },
                                             [this](const QString& code) { Text1->setText(code); },
                                             showHint, [this] { Timer2->Start(); } },
        this);

    NormalFontInFrames(this);
    LabelsBelowControls(this);

    connect(Command1, &QPushButton::clicked, this, &AppearancePage::chooseBackgroundColour);
    connect(Command4, &QPushButton::clicked, this, &AppearancePage::chooseTextColour);
    connect(
        Command2, &QPushButton::clicked, this, [this] { StartPicker(backgroundPortal_, Timer1); });
    connect(Command3, &QPushButton::clicked, this, [this] { StartPicker(textPortal_, Timer2); });
    connect(
        Combo1, QOverload<int>::of(&QComboBox::activated), this, &AppearancePage::previewFontFace);
    connect(Command8, &QPushButton::clicked, this, &AppearancePage::PreviousPageRequested);
    connect(Command6, &QPushButton::clicked, this, &AppearancePage::NextPageRequested);
}

void AppearancePage::StartPicker(PortalColourPicker* portal, ScreenPicker* live)
{
    if (IsWaylandSession())
        portal->Start();
    else
        live->Start();
}

void AppearancePage::FillPreview(QLabel* shape, ColourValue value)
{
    QPalette pal = shape->palette();
    pal.setColor(QPalette::Window, ToQColor(value));
    shape->setPalette(pal);
}

ColourValue AppearancePage::PreviewColour(const QLabel* shape)
{
    return FromQColor(shape->palette().color(QPalette::Window));
}

void AppearancePage::chooseBackgroundColour()
{
    chooseColourFor(Text4, Shape1);
}

void AppearancePage::chooseTextColour()
{
    chooseColourFor(Text1, Shape2);
}

void AppearancePage::chooseColourFor(QLineEdit* field, QLabel* preview)
{
    // Confirmed or cancelled, the field gets the dialog's one value.
    const ColourValue value = DLG.Choose(this);
    field->setText(QString::fromStdString(ColourToCode(value)));
    FillPreview(preview, value);
}

void AppearancePage::previewFontFace()
{
    const QString text = Combo1->currentText();
    const QString family = text.section(QLatin1Char(','), 0, 0);
    QFont f = Combo1->font();
    f.setFamily(family);
    Combo1->setFont(f);
}

Appearance AppearancePage::Options() const
{
    Appearance a;
    a.backgroundColour = Text4->text().toStdString();
    a.textColour = Text1->text().toStdString();
    a.fontFace = Combo1->currentText().toStdString();
    a.fontSize = Combo2->currentText().toStdString();
    a.heading = Text2->text().toStdString();
    return a;
}

} // namespace tovaro::gui
