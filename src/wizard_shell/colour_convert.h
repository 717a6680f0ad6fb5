// Between the core's colour values (red in the low byte) and Qt's colours.
#pragma once

#include "core/colour.h"

#include <QColor>

namespace tovaro::gui {

inline QColor ToQColor(ColourValue v)
{
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
        static_cast<int>((v >> 16) & 0xFF));
}

inline ColourValue FromQColor(const QColor& c)
{
    return MakeColour(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
        static_cast<unsigned>(c.blue()));
}

} // namespace tovaro::gui
