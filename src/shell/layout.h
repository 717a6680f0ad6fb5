// Positions of the layout tables are in twips; the widgets get device-independent pixels.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QRect>
#include <QWidget>

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

/// One row of a layout table: where a control sits, in twips, relative to its container.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

/// Creates a widget with its control name as object name, at its place in its container.
template <class W, class... Args>
W* MakeControl(QWidget* container, const char* name, Place p, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., container);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(TwipsRect(p.left, p.top, p.width, p.height));
    return w;
}

/// The dialog font of the pages ("MS Sans Serif" 8.25 points, or its closest stand-in).
QFont PageFont(bool bold = false);

/// Installs the stand-ins for "MS Sans Serif" where it is missing, and the classic widget
/// style the layout was drawn for (frame captions on the frame's border).
void InstallPageLook();

/// A frame whose caption is bold while the controls in it keep the normal page font; call
/// `NormalFontInFrames` once all controls of a page exist. A control marked with
/// `MarkBold` stays bold.
QGroupBox* MakeFrame(
    QWidget* page, const char* name, const QString& caption, Place p, bool boldCaption = true);
void MarkBold(QWidget* w);
void NormalFontInFrames(QWidget* page);

/// Labels and pictures lie below the buttons, boxes and frames of their container, as the
/// layout was drawn: a label never covers a button that overlaps it.
void LabelsBelowControls(QWidget* page);

} // namespace tovaro::gui
