// What the screen colour picker needs of the desktop: the pointer, the colour of a screen
// point and the Escape key, whichever window has the focus.
#pragma once

#include "core/colour.h"

#include <QObject>
#include <QPoint>
#include <memory>
#include <optional>

namespace tovaro::gui {

class PointerSource {
public:
    virtual ~PointerSource() = default;
    virtual QPoint Position() = 0;
};

class PixelSource {
public:
    virtual ~PixelSource() = default;
    /// The colour at a screen point; none when it cannot be read.
    virtual std::optional<ColourValue> ColourAt(QPoint screenPoint) = 0;
};

constexpr int kEscapeKey = 27;

class KeySource {
public:
    virtual ~KeySource() = default;
    /// A picker starts: from now on only presses of the key made after this count (an Escape
    /// that closed a dialog before never ends the picker that starts next).
    virtual void BeginCounting(int virtualKey) = 0;
    /// The picker has ended: presses need not be counted until the next begins.
    virtual void EndCounting() { }
    /// True when the key went down since the previous query (or since counting began),
    /// whether it is still down or was already let go (a quick tap). One source serves every
    /// picker.
    virtual bool IsKeyPressed(int virtualKey) = 0;
};

class CursorPointer : public PointerSource {
public:
    QPoint Position() override;
};

/// Grabs a 1 x 1 area of the screen that holds the point.
class ScreenGrabPixels : public PixelSource {
public:
    std::optional<ColourValue> ColourAt(QPoint screenPoint) override;
};

/// The global key state where the window system offers one (X11), otherwise Escape pressed
/// while a window of the program has the focus.
std::unique_ptr<KeySource> MakeDesktopKeySource();

/// Escape as seen by the program's own windows: a press since the previous query counts once.
class FocusKeySource : public QObject, public KeySource {
public:
    FocusKeySource();
    void BeginCounting(int virtualKey) override;
    bool IsKeyPressed(int virtualKey) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool escapeDown_ = false;
    bool pressedSinceQuery_ = false;
};

} // namespace tovaro::gui
