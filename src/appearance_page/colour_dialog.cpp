#include "colour_dialog.h"

#include "wizard_shell/colour_convert.h"

#include <QColorDialog>

namespace tovaro::gui {

bool QtColourDialog::Run(QWidget* parent, ColourValue& chosen)
{
    // Plain form, no title; it opens on the shared colour (black at first, then the colour last
    // confirmed), so that Enter at once keeps it.
    QColorDialog dialog(parent);
    dialog.setCurrentColor(ToQColor(chosen));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = FromQColor(dialog.selectedColor());
    return true;
}

std::optional<ColourValue> SharedColourChoice::Choose(QWidget* parent)
{
    ColourValue chosen = value_;
    if (!dialog_.Run(parent, chosen))
        return std::nullopt;
    value_ = chosen;
    return value_;
}

} // namespace tovaro::gui
