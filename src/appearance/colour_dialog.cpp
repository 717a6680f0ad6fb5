#include "colour_dialog.h"

#include "shell/colour_convert.h"

#include <QColorDialog>

namespace tovaro::gui {

bool QtColourDialog::Run(QWidget* parent, ColourValue& chosen)
{
    // Plain form, no title, no initial colour of the field.
    QColorDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = FromQColor(dialog.selectedColor());
    return true;
}

ColourValue SharedColourChoice::Choose(QWidget* parent)
{
    ColourValue chosen = value_;
    if (dialog_.Run(parent, chosen))
        value_ = chosen;
    return value_;
}

} // namespace tovaro::gui
