// One colour dialog serves both colour buttons and keeps one colour value: black at first, then
// the colour last confirmed from either button. A cancelled dialog yields that value.
#pragma once

#include <optional>

#include "core/colour.h"

class QWidget;

namespace tovaro::gui {

class ColourDialog {
public:
    virtual ~ColourDialog() = default;
    /// Shows the dialog modally, opened on `chosen`; true and the colour when the user
    /// confirmed.
    virtual bool Run(QWidget* parent, ColourValue& chosen) = 0;
};

class QtColourDialog : public ColourDialog {
public:
    bool Run(QWidget* parent, ColourValue& chosen) override;
};

class SharedColourChoice {
public:
    explicit SharedColourChoice(ColourDialog& dialog)
        : dialog_(dialog)
    {
    }
    /// Runs the dialog, opened on the colour last confirmed (black at first); the colour the
    /// user confirmed, which becomes the shared one, or nothing when the user cancelled.
    std::optional<ColourValue> Choose(QWidget* parent);

private:
    ColourDialog& dialog_;
    ColourValue value_ = 0;
};

} // namespace tovaro::gui
