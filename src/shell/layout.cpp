#include "layout.h"

namespace tovaro::gui {

void InstallFontSubstitutes()
{
    // Narrow, metric-compatible faces first, so that the captions fit their controls.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
        { QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Noto Sans"),
            QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans") });
}

QFont PageFont(bool bold)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    // 8.25 points at 96 dots per inch are 11 pixels.
    f.setPixelSize(11);
    f.setBold(bold);
    return f;
}

} // namespace tovaro::gui
