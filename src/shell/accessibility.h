// What screen-reader and keyboard users need of the pages: a name for every control, a focus
// ring that can be seen, links that keys open, hints that are announced, and colours that stay
// readable on any palette.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

class QWidget;

namespace tovaro::gui {

/// Gives `control` its accessible name, the text a sighted user reads next to it. `label`, if
/// given, becomes the label a screen reader reads for it: on Linux a combo box is announced by
/// its label, not by its accessible name.
void NameControl(QWidget* control, const QString& name, QLabel* label = nullptr);

/// A hidden label for a control that has none on the page, so that a combo box is announced
/// by name.
void LabelInvisibly(QWidget* control, const QString& name);

/// Draws a ring of two pixels around whichever control of `page` has the keyboard focus, in a
/// colour that stands out from the page.
void ShowFocusRing(QWidget* page);

/// `preferred`, or the same hue made darker or lighter until its contrast with `background`
/// reaches `minimum` (4.5 for text, 3 for other marks).
QColor ReadableOn(const QColor& preferred, const QColor& background, double minimum = 4.5);

/// A hint that comes and goes and that a screen reader reads out when it appears: it is
/// exposed as an alert.
class AnnouncedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    /// Shows or hides the hint; showing it announces it.
    void SetShown(bool shown);
};

/// Registers the accessible interfaces of the pages' own controls (links, announced hints).
void InstallAccessibleInterfaces();

} // namespace tovaro::gui
