// The frame every page shares: caption, fixed size, background, heading, the two line pairs and
// the help button. A close request ends the whole program.
#pragma once

#include "program.h"

#include <QWidget>

class QFrame;

namespace tovaro::gui {

class WizardPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 512; // 7680 twips
    static constexpr int kClientHeight = 503; // 7545 twips

    WizardPage(const char* formName, const QString& heading, Program& program);

protected:
    void closeEvent(QCloseEvent* event) override;
    /// A page keeps its fixed size: a maximise or full-screen request is undone.
    void changeEvent(QEvent* event) override;
    /// The first showing fits the captions to the fonts the system has.
    void showEvent(QShowEvent* event) override;

    Program& program_;

private:
    void openHelp();
    bool captionsFitted_ = false;
    QFrame* MakeLine(const char* name, int top, QPalette::ColorRole role);
};

/// Moves `target` to the place of `current`, shows it and hides `current`.
void ChangePage(QWidget* current, QWidget* target);

} // namespace tovaro::gui
