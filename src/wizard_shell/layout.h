// The pages' layout tables and what they share: the page font, captions that fit, and control
// places in twips (1/1440 inch, 15 to a pixel at 96 dpi), which the widgets get as
// device-independent pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>
#include <initializer_list>
#include <map>
#include <string>
#include <type_traits>

namespace tovaro::gui {

constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

/// Where a control sits, in twips, relative to its container.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

/// The dialog font of the pages ("MS Sans Serif" 8.25 points, or its closest stand-in).
QFont PageFont(bool bold = false);

/// Installs the stand-ins for "MS Sans Serif" where it is missing, and the classic widget
/// style the pages' geometry assumes (frame captions on the frame's border).
void InstallPageLook();

/// Makes a control of one kind in its container. `caption` is a label's or a button's text, a
/// frame's caption or a text box's first content.
using ControlKind = QWidget* (*)(QWidget* container, const QString& caption);

/// The kinds of control in the pages' layout tables.
namespace kind {
/// A frame with a bold caption; the controls in it keep the page font.
QWidget* Frame(QWidget* container, const QString& caption);
/// A frame whose caption, if any, is in the page font.
QWidget* PlainFrame(QWidget* container, const QString& caption);
/// One line of plain text (never read as markup), or a picture.
QWidget* Label(QWidget* container, const QString& caption);
/// Plain text that stays bold inside a frame.
QWidget* BoldLabel(QWidget* container, const QString& caption);
QWidget* Edit(QWidget* container, const QString& caption);
/// An editable combo box; what the user types adds no entry.
QWidget* Combo(QWidget* container, const QString& caption);
/// A push button: Enter presses it while it has the focus, and no button is the default.
QWidget* Button(QWidget* container, const QString& caption);
/// A control of the program's own classes, given its caption if it takes one.
template <class W> QWidget* Widget(QWidget* container, const QString& caption)
{
    if constexpr (std::is_constructible_v<W, const QString&, QWidget*>)
        return new W(caption, container);
    else
        return new W(container);
}
/// A control that the page frame has made already (the help button): its row gives only its
/// place in the tab order.
inline constexpr ControlKind kFromFrame = nullptr;
} // namespace kind

/// One row of a page's layout table.
struct ControlRow {
    const char* name; ///< the control name, which becomes the widget's object name
    ControlKind kind;
    const char* caption; ///< UTF-8; nullptr: none
    const char* container; ///< the frame the control lies in; nullptr: the page itself
    Place place; ///< in twips, relative to the container
    int tabStop; ///< the control's position in the page's tab order, from 1; 0: no stop
};

/// A page's controls, by control name.
class PageControls {
public:
    /// The control called `name`, which must exist and be a `W`.
    template <class W> W* Get(const char* name) const
    {
        auto* w = dynamic_cast<W*>(Find(name));
        if (w == nullptr)
            qFatal("no control %s of the expected class", name);
        return w;
    }

private:
    friend PageControls BuildControls(QWidget* page, std::initializer_list<ControlRow> rows);
    QWidget* Find(const char* name) const;
    std::map<std::string, QWidget*> byName_;
};

/// Makes the controls of a layout table in its order, so that a later row lies in front of an
/// earlier one; then puts every label below the other controls of its container (a label never
/// covers a button that overlaps it), gives the frames' contents the page font, unless made
/// bold, sets the tab order and gives its first stop the focus.
PageControls BuildControls(QWidget* page, std::initializer_list<ControlRow> rows);

/// Keeps a control bold inside a frame.
void MarkBold(QWidget* w);

/// Makes every caption of the page's buttons and one-line labels fit its control: with the
/// font the page asks for it does; with a wider stand-in (a system without Liberation Sans),
/// a control whose caption would be cut gets a smaller size of the same font.
void FitCaptions(QWidget* page);

} // namespace tovaro::gui
