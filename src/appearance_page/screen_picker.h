// The screen colour picker: while it runs, each 20 ms tick samples the pixel under the pointer
// when the pointer has moved, and shows it in its target field and preview. A tick that sees
// Escape stops it, and still samples.
#pragma once

#include "screen_sources.h"

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>

namespace tovaro::gui {

struct PickerSources {
    PointerSource* pointer = nullptr;
    PixelSource* pixels = nullptr;
    KeySource* keys = nullptr;
};

class ScreenPicker : public QObject {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 20;

    struct Targets {
        std::function<void(ColourValue)> setPreview;
        std::function<void(const QString&)> setField;
        std::function<void(bool)> showHint; ///< the shared Escape hint
    };

    ScreenPicker(
        const char* timerName, PickerSources sources, Targets targets, QObject* parent = nullptr);

    /// Starts the ticks (again) and shows the hint; the first sample comes with the first tick.
    void Start();
    /// Stops the ticks without touching the hint: another picker takes over.
    void Stop();
    /// One tick; public so that tests drive it without a clock.
    void Tick();

private:
    PickerSources sources_;
    Targets targets_;
    QTimer timer_; ///< a child named "tick"
    QPoint last_ { 0, 0 };
};

} // namespace tovaro::gui
