#include "appearance_page.h"

#include "wizard_shell/accessibility.h"
#include "wizard_shell/colour_convert.h"
#include "wizard_shell/layout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tovaro::gui {

namespace {

const Appearance kDefaults;

} // namespace

AppearancePage::AppearancePage(
    DesktopServices& desktop, ColourDialog& dialog, PickerSources sources)
    : WizardPage("Form2", QStringLiteral("Schritt 1 - Wählen Sie die Farboptionen aus"), desktop)
    , colourDialog_(dialog)
{
    // clang-format off
    const PageControls controls = BuildControls(this, {
        // name, kind, caption, frame, place, tab stop
        { "Label1", kind::Widget<AnnouncedLabel>, "Drücken Sie [Escape] um die momentan gewählte "
            "Farbe zu wählen und die Pipette zu beenden.", nullptr, { 120, 120, 7455, 255 }, 0 },
        { "Frame1", kind::Frame, "Hintergrundfarbe des Dokuments", nullptr,
            { 120, 720, 7335, 855 }, 0 },
        { "Shape1", kind::Label, nullptr, "Frame1", { 120, 240, 495, 495 }, 0 },
        { "Label5", kind::Label, "Hex", "Frame1", { 960, 360, 615, 255 }, 0 },
        { "Text4", kind::Edit, kDefaults.backgroundColour.c_str(), "Frame1",
            { 1560, 360, 855, 285 }, 4 },
        { "Command2", kind::Button, "Bildschirmpipette", "Frame1", { 2880, 360, 2055, 255 }, 6 },
        { "Command1", kind::Button, "Farbe wählen...", "Frame1", { 5160, 360, 2055, 255 }, 5 },
        { "Frame2", kind::Frame, "Textfarbe", nullptr, { 120, 1920, 7335, 855 }, 0 },
        { "Shape2", kind::Label, nullptr, "Frame2", { 120, 240, 495, 495 }, 0 },
        { "Label3", kind::Label, "Hex", "Frame2", { 960, 360, 615, 255 }, 0 },
        { "Text1", kind::Edit, kDefaults.textColour.c_str(), "Frame2", { 1560, 360, 855, 285 }, 9 },
        { "Command3", kind::Button, "Bildschirmpipette", "Frame2", { 2880, 360, 2055, 255 }, 7 },
        { "Command4", kind::Button, "Farbe wählen...", "Frame2", { 5160, 360, 2055, 255 }, 8 },
        { "Frame3", kind::Frame, "Textoptionen", nullptr, { 120, 3120, 7335, 1695 }, 0 },
        { "Label4", kind::Label, "Schriftart", "Frame3", { 120, 240, 1695, 255 }, 0 },
        { "Combo1", kind::Combo, nullptr, "Frame3", { 120, 480, 6975, 315 }, 10 },
        { "Label6", kind::Label, "Schriftgröße", "Frame3", { 120, 960, 2055, 255 }, 0 },
        { "Combo2", kind::Combo, nullptr, "Frame3", { 120, 1200, 855, 315 }, 11 },
        { "Frame4", kind::Frame, "Text", nullptr, { 120, 5160, 7335, 1095 }, 0 },
        { "Label7", kind::Label, "Überschrift", "Frame4", { 120, 240, 7095, 255 }, 0 },
        { "Text2", kind::Edit, kDefaults.heading.c_str(), "Frame4", { 120, 600, 7095, 285 }, 12 },
        { "Command8", kind::Button, "<< S&chritt 1", nullptr, { 4680, 6960, 1215, 375 }, 3 },
        { "Command6", kind::Button, ">> &Schritt 3", nullptr, { 6120, 6960, 1215, 375 }, 1 },
        { "Command7", kind::kFromFrame, nullptr, nullptr, {}, 2 },
    });
    // clang-format on
    pickerHint_ = controls.Get<AnnouncedLabel>("Label1");
    backgroundPreview_ = controls.Get<QLabel>("Shape1");
    backgroundEdit_ = controls.Get<QLineEdit>("Text4");
    textPreview_ = controls.Get<QLabel>("Shape2");
    textColourEdit_ = controls.Get<QLineEdit>("Text1");
    fontFaceBox_ = controls.Get<QComboBox>("Combo1");
    fontSizeBox_ = controls.Get<QComboBox>("Combo2");
    headingEdit_ = controls.Get<QLineEdit>("Text2");
    auto button = [&controls](const char* name) { return controls.Get<QPushButton>(name); };

    // Red where it can be read on the page's background, as on a dark desktop.
    QPalette red = pickerHint_->palette();
    red.setColor(QPalette::WindowText, ReadableOn(Qt::red, red.color(QPalette::Window)));
    pickerHint_->setPalette(red);
    pickerHint_->setAutoFillBackground(true); // covers the heading while shown
    pickerHint_->hide();

    fontFaceBox_->addItems({ QString::fromStdString(kDefaults.fontFace),
        QStringLiteral("Times New Roman, serif"), QStringLiteral("Courier New, Courier"),
        QStringLiteral("Georgia, Times"), QStringLiteral("Comic Sans MS, Arial") });
    fontSizeBox_->addItems({ "1", "2", "3", "4", "5", "6", "7" });
    fontFaceBox_->setCurrentText(QString::fromStdString(kDefaults.fontFace));
    fontSizeBox_->setCurrentText(QString::fromStdString(kDefaults.fontSize));

    // Both colour frames hold the same captions: the names tell which colour a control sets.
    // Not labelled by their "Hex" captions, which a screen reader would read instead.
    NameControl(backgroundEdit_, QStringLiteral("Hintergrundfarbe (Hex)"));
    NameControl(button("Command2"), QStringLiteral("Bildschirmpipette Hintergrundfarbe"));
    NameControl(button("Command1"), QStringLiteral("Hintergrundfarbe wählen..."));
    NameControl(textColourEdit_, QStringLiteral("Textfarbe (Hex)"));
    NameControl(button("Command3"), QStringLiteral("Bildschirmpipette Textfarbe"));
    NameControl(button("Command4"), QStringLiteral("Textfarbe wählen..."));
    NameControl(fontFaceBox_, QStringLiteral("Schriftart"), controls.Get<QLabel>("Label4"));
    NameControl(fontSizeBox_, QStringLiteral("Schriftgröße"), controls.Get<QLabel>("Label6"));
    NameControl(headingEdit_, QStringLiteral("Überschrift"), controls.Get<QLabel>("Label7"));

    for (QLabel* shape : { backgroundPreview_, textPreview_ }) {
        shape->setAutoFillBackground(true);
        shape->setFrameShape(QFrame::Box);
    }
    // The tooltip background and the button text of the standard colour scheme.
    FillPreview(backgroundPreview_, MakeColour(0xFF, 0xFF, 0xE1));
    FillPreview(textPreview_, MakeColour(0, 0, 0));

    SetUpPickers(sources);
    WatchTypedColours();

    connect(
        button("Command1"), &QPushButton::clicked, this, &AppearancePage::ChooseBackgroundColour);
    connect(button("Command4"), &QPushButton::clicked, this, &AppearancePage::ChooseTextColour);
    connect(button("Command2"), &QPushButton::clicked, this,
        [this] { StartPicker(backgroundPortal_, backgroundPicker_); });
    connect(button("Command3"), &QPushButton::clicked, this,
        [this] { StartPicker(textPortal_, textPicker_); });
    connect(fontFaceBox_, QOverload<int>::of(&QComboBox::activated), this,
        &AppearancePage::PreviewFontFace);
    connect(
        button("Command8"), &QPushButton::clicked, this, &AppearancePage::PreviousPageRequested);
    connect(button("Command6"), &QPushButton::clicked, this, &AppearancePage::NextPageRequested);
}

void AppearancePage::SetUpPickers(PickerSources sources)
{
    // When a picker ends, its colour is spoken, once its last sample is in the field.
    auto hintFor = [this](QLineEdit* field) {
        return [this, field](bool on) {
            pickerHint_->SetShown(on);
            if (!on)
                QMetaObject::invokeMethod(
                    this, [this, field] { AnnounceColour(field); }, Qt::QueuedConnection);
        };
    };
    auto showBackgroundHint = hintFor(backgroundEdit_);
    auto showTextHint = hintFor(textColourEdit_);
    auto showBackground = [this](ColourValue v) { FillPreview(backgroundPreview_, v); };
    auto setBackground = [this](const QString& code) { backgroundEdit_->setText(code); };
    auto showText = [this](ColourValue v) { FillPreview(textPreview_, v); };
    auto setText = [this](const QString& code) { textColourEdit_->setText(code); };
    backgroundPicker_ = new ScreenPicker(
        "Timer1", sources, { showBackground, setBackground, showBackgroundHint }, this);
    textPicker_ = new ScreenPicker("Timer2", sources, { showText, setText, showTextHint }, this);
    // In a Wayland session no program may read the screen: the desktop portal picks instead.
    backgroundPortal_ = new PortalColourPicker({ showBackground, setBackground, showBackgroundHint,
                                                   [this] { backgroundPicker_->Start(); } },
        this);
    textPortal_ = new PortalColourPicker(
        { showText, setText, showTextHint, [this] { textPicker_->Start(); } }, this);
}

void AppearancePage::WatchTypedColours()
{
    // A typed value that is no colour code is described, and said once typing pauses.
    typingPaused_ = new QTimer(this);
    typingPaused_->setObjectName(QStringLiteral("typingPause"));
    typingPaused_->setSingleShot(true);
    typingPaused_->setInterval(kTypingPauseMs);
    connect(typingPaused_, &QTimer::timeout, this, &AppearancePage::AnnounceTypedColour);
    for (QLineEdit* field : { backgroundEdit_, textColourEdit_ }) {
        connect(field, &QLineEdit::textChanged, this, [field] { DescribeTypedColour(field); });
        connect(field, &QLineEdit::textEdited, this, [this, field] {
            typedField_ = field;
            typingPaused_->start();
        });
    }
}

void AppearancePage::StartPicker(PortalColourPicker* portal, ScreenPicker* live)
{
    // One live picker at a time: a new one ends the running one, so one Escape ends picking.
    for (ScreenPicker* other : { backgroundPicker_, textPicker_ }) {
        if (other != live)
            other->Stop();
    }
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

void AppearancePage::ChooseBackgroundColour()
{
    ChooseColourFor(backgroundEdit_, backgroundPreview_);
}

void AppearancePage::ChooseTextColour()
{
    ChooseColourFor(textColourEdit_, textPreview_);
}

void AppearancePage::ChooseColourFor(QLineEdit* field, QLabel* preview)
{
    // A cancel changes nothing: the field keeps the user's colour.
    const std::optional<ColourValue> value = colourDialog_.Choose(this);
    if (!value)
        return;
    field->setText(QString::fromStdString(ColourToCode(*value)));
    FillPreview(preview, *value);
    AnnounceColour(field);
}

void AppearancePage::AnnounceColour(QLineEdit* field)
{
    const QString which = field == backgroundEdit_ ? QStringLiteral("Hintergrundfarbe")
                                                   : QStringLiteral("Textfarbe");
    Announce(this, which + QLatin1Char(' ') + field->text());
}

void AppearancePage::DescribeTypedColour(QLineEdit* field)
{
    // The field keeps what was typed (the page uses it as it stands); the swatch shows only
    // colours that were chosen or picked.
    const bool code = IsColourCode(field->text().toStdString());
    const QString description
        = code ? QString() : QStringLiteral("Kein Farbcode, die Farbfläche bleibt unverändert");
    if (field->accessibleDescription() != description)
        field->setAccessibleDescription(description);
}

void AppearancePage::AnnounceTypedColour()
{
    if (typedField_ == nullptr || !typedField_->hasFocus())
        return;
    if (!IsColourCode(typedField_->text().toStdString()))
        Announce(this,
            QStringLiteral("Kein Farbcode: ") + typedField_->text()
                + QStringLiteral(", die Farbfläche bleibt unverändert"));
}

void AppearancePage::PreviewFontFace()
{
    const QString text = fontFaceBox_->currentText();
    const QString family = text.section(QLatin1Char(','), 0, 0);
    QFont f = fontFaceBox_->font();
    f.setFamily(family);
    fontFaceBox_->setFont(f);
}

Appearance AppearancePage::Options() const
{
    Appearance a;
    a.backgroundColour = backgroundEdit_->text().toStdString();
    a.textColour = textColourEdit_->text().toStdString();
    a.fontFace = fontFaceBox_->currentText().toStdString();
    a.fontSize = fontSizeBox_->currentText().toStdString();
    a.heading = headingEdit_->text().toStdString();
    return a;
}

} // namespace tovaro::gui
