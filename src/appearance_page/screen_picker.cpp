#include "screen_picker.h"

#include "core/colour.h"

namespace tovaro::gui {

ScreenPicker::ScreenPicker(
    const char* timerName, PickerSources sources, Targets targets, QObject* parent)
    : QObject(parent)
    , sources_(sources)
    , targets_(std::move(targets))
{
    setObjectName(QLatin1String(timerName));
    timer_.setParent(this);
    timer_.setObjectName(QStringLiteral("tick"));
    timer_.setInterval(kPeriodMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ScreenPicker::Tick);
}

void ScreenPicker::Start()
{
    if (!timer_.isActive()) {
        sources_.keys->BeginCounting(kEscapeKey);
        timer_.start();
    }
    targets_.showHint(true);
}

void ScreenPicker::Stop()
{
    if (timer_.isActive())
        sources_.keys->EndCounting();
    timer_.stop();
}

void ScreenPicker::Tick()
{
    if (sources_.keys->IsKeyPressed(kEscapeKey)) {
        Stop();
        targets_.showHint(false);
        // This tick still samples.
    }
    const QPoint p = sources_.pointer->Position();
    if (p == last_)
        return; // a resting pointer costs nothing
    last_ = p;
    const std::optional<ColourValue> colour = sources_.pixels->ColourAt(p);
    if (!colour)
        return;
    targets_.setPreview(*colour);
    targets_.setField(QString::fromStdString(ColourToCode(*colour)));
}

} // namespace tovaro::gui
