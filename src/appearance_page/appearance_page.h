// Page 2: background colour, text colour, font face, font size and heading of the search page.
#pragma once

#include "colour_dialog.h"
#include "core/appearance.h"
#include "portal_picker.h"
#include "screen_picker.h"
#include "wizard_shell/wizard_page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace tovaro::gui {

class AnnouncedLabel;

class AppearancePage : public WizardPage {
    Q_OBJECT
public:
    AppearancePage(DesktopServices& desktop, ColourDialog& dialog, PickerSources sources);

    /// The five options as the controls hold them.
    Appearance Options() const;

private:
    static constexpr int kTypingPauseMs = 1000;

    /// The screen pickers and the desktop portal's, each filling its colour's field.
    void SetUpPickers(PickerSources sources);
    /// A typed value that is no colour code is described, and said once typing pauses.
    void WatchTypedColours();
    void ChooseBackgroundColour();
    void ChooseTextColour();
    void ChooseColourFor(QLineEdit* field, QLabel* preview);
    /// Tells a screen reader the colour a field now holds ("Hintergrundfarbe #FFEECC").
    void AnnounceColour(QLineEdit* field);
    /// Describes a field whose value is no colour code as such, for a screen reader.
    static void DescribeTypedColour(QLineEdit* field);
    /// Says that the value typed last is no colour code, if it is none.
    void AnnounceTypedColour();
    void PreviewFontFace();
    static void FillPreview(QLabel* shape, ColourValue value);
    /// "Bildschirmpipette": the desktop portal in a Wayland session, else the live picker.
    void StartPicker(PortalColourPicker* portal, ScreenPicker* live);

    SharedColourChoice colourDialog_;
    AnnouncedLabel* pickerHint_ = nullptr; ///< the Escape hint, over the heading
    QLabel* backgroundPreview_ = nullptr;
    QLineEdit* backgroundEdit_ = nullptr; ///< the background colour's code
    QLabel* textPreview_ = nullptr;
    QLineEdit* textColourEdit_ = nullptr;
    QComboBox* fontFaceBox_ = nullptr;
    QComboBox* fontSizeBox_ = nullptr;
    QLineEdit* headingEdit_ = nullptr;
    QTimer* typingPaused_ = nullptr;
    QLineEdit* typedField_ = nullptr; ///< the colour field typed in last
    ScreenPicker* backgroundPicker_ = nullptr;
    ScreenPicker* textPicker_ = nullptr;
    PortalColourPicker* backgroundPortal_ = nullptr; ///< in a Wayland session
    PortalColourPicker* textPortal_ = nullptr;
};

} // namespace tovaro::gui
