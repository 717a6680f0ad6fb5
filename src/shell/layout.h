// Positions of the layout tables are in twips; the widgets get device-independent pixels.
#pragma once

#include <QFont>
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

/// Installs the stand-ins for "MS Sans Serif" where it is missing.
void InstallFontSubstitutes();

} // namespace tovaro::gui
