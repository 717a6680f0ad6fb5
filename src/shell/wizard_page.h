// The frame every page shares: caption, fixed size, background, heading, the two line pairs and
// the help button. A close request ends the whole program.
#pragma once

#include "program.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QFrame;

namespace tovaro::gui {

class WizardPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 512; // 7680 twips
    static constexpr int kClientHeight = 503; // 7545 twips

    WizardPage(const char* formName, const QString& heading, Program& program);

    QLabel* Label2 = nullptr;
    QPushButton* Command7 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    /// A push button of the pages: Enter presses it while it has the focus, and no button is
    /// the default.
    QPushButton* MakeButton(QWidget* container, const char* name, const QString& caption, int left,
        int top, int width, int height);

    Program& program_;

private:
    void openHelp();
    QFrame* MakeLine(const char* name, int top, QPalette::ColorRole role);
};

/// Moves `target` to the place of `current`, shows it and hides `current`.
void ChangePage(QWidget* current, QWidget* target);

} // namespace tovaro::gui
