// Page 2: background colour, text colour, font face, font size and heading of the search page.
#pragma once

#include "colour_dialog.h"
#include "core/page_writer.h"
#include "portal_picker.h"
#include "screen_picker.h"
#include "shell/wizard_page.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tovaro::gui {

class AnnouncedLabel;

class AppearancePage : public WizardPage {
    Q_OBJECT
public:
    AppearancePage(Program& program, ColourDialog& dialog, PickerSources sources);

    /// The five options as the controls hold them.
    Appearance Options() const;
    /// The colour a preview shows.
    static ColourValue PreviewColour(const QLabel* shape);

signals:
    void PreviousPageRequested();
    void NextPageRequested();

private:
    void chooseBackgroundColour();
    void chooseTextColour();
    void chooseColourFor(QLineEdit* field, QLabel* preview);
    void previewFontFace();
    static void FillPreview(QLabel* shape, ColourValue value);
    /// "Bildschirmpipette": the desktop portal in a Wayland session, else the live picker.
    static void StartPicker(PortalColourPicker* portal, ScreenPicker* live);

    PortalColourPicker* backgroundPortal_ = nullptr;
    PortalColourPicker* textPortal_ = nullptr;

    SharedColourChoice DLG;
    AnnouncedLabel* Label1 = nullptr; ///< the Escape hint, over the heading
    QGroupBox* Frame1 = nullptr;
    QLabel* Shape1 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Shape2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* Combo2 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command6 = nullptr;
    ScreenPicker* Timer1 = nullptr; ///< background picker
    ScreenPicker* Timer2 = nullptr; ///< text colour picker
};

} // namespace tovaro::gui
