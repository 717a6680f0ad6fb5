// Control positions are given in twips (1/1440 inch, 15 to a pixel at 96 dpi); the widgets get
// device-independent pixels.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QPushButton>
#include <QRect>
#include <QWidget>
#include <initializer_list>

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

/// Creates a widget with its control name as object name, at its place in its container.
template <class W, class... Args>
W* MakeControl(QWidget* container, const char* name, Place p, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., container);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(TwipsRect(p.left, p.top, p.width, p.height));
    return w;
}

/// A push button of the pages: Enter presses it while it has the focus, and no button is the
/// default.
QPushButton* MakeButton(QWidget* container, const char* name, const QString& caption, int left,
    int top, int width, int height);

/// The dialog font of the pages ("MS Sans Serif" 8.25 points, or its closest stand-in).
QFont PageFont(bool bold = false);

/// Installs the stand-ins for "MS Sans Serif" where it is missing, and the classic widget
/// style the pages' geometry assumes (frame captions on the frame's border).
void InstallPageLook();

/// A frame whose caption is bold while the controls in it keep the normal page font; call
/// `NormalFontInFrames` once all controls of a page exist. A control marked with
/// `MarkBold` stays bold.
QGroupBox* MakeFrame(
    QWidget* page, const char* name, const QString& caption, Place p, bool boldCaption = true);
void MarkBold(QWidget* w);
void NormalFontInFrames(QWidget* page);

/// Labels and pictures lie below the buttons, boxes and frames of their container: a label
/// never covers a button that overlaps it.
void LabelsBelowControls(QWidget* page);

/// Makes every caption of the page's buttons and one-line labels fit its control: with the
/// font the page asks for it does; with a wider stand-in (a system without Liberation Sans),
/// a control whose caption would be cut gets a smaller size of the same font.
void FitCaptions(QWidget* page);

/// Tab moves through `order` in this sequence, then starts again.
void SetTabOrder(std::initializer_list<QWidget*> order);

} // namespace tovaro::gui
