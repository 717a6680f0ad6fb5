// What screen-reader and keyboard users need of the pages: a name for every control, a focus
// ring that can be seen, links that keys open, hints that are announced, and colours that stay
// readable on any palette.
#pragma once

#include <QAbstractItemView>
#include <QAccessible>
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
/// by name. Returns the label.
QLabel* LabelInvisibly(QWidget* control, const QString& name);

/// Draws a ring of two pixels around whichever control of `page` has the keyboard focus, in a
/// colour that stands out from the page.
void ShowFocusRing(QWidget* page);

/// `preferred`, or the same hue made darker or lighter until its contrast with `background`
/// reaches `minimum` (4.5 for text, 3 for other marks).
QColor ReadableOn(const QColor& preferred, const QColor& background, double minimum = 4.5);

/// A hint that comes and goes and that a screen reader reads out when it appears: it is
/// exposed as a notification, which screen readers speak as it shows.
class AnnouncedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    /// Shows or hides the hint; showing it announces it.
    void SetShown(bool shown);
};

/// Where a window's spoken results go: a notification that is never drawn (the sighted user
/// sees the result itself) and that a screen reader speaks each time it is told to show.
class Announcer : public QLabel {
    Q_OBJECT
public:
    /// The announcer of the window of `from`, made on first use.
    static Announcer* Of(QWidget* from);
    void Say(const QString& text);

signals:
    /// `text` was handed to the screen reader.
    void Said(const QString& text);

private:
    explicit Announcer(QWidget* window);
};

/// Has a screen reader say `text` once, without moving the focus: what the user's action did
/// ("3 Dateien hinzugefügt, 7 ausgewählt"). `from` is any widget of the window.
void Announce(QWidget* from, const QString& text);

/// "1 Datei", "7 Dateien": a count with the noun in its number.
QString CountOf(qsizetype count, const char* one, const char* many);

/// Tells a screen reader that the focus is on the current item of `list`, if it has the focus.
void ReportCurrentItem(QAbstractItemView* list);

/// A list that tells a screen reader of a new current item only while it has the keyboard
/// focus. (Qt's list view reports every change of the current item as a move of the focus,
/// so a list filled or emptied by a button would be announced as if the user were in it.)
/// Taking the focus, it reports its current item, so that the item is heard with the list.
template <class View> class FocusHonestList : public View {
public:
    using View::View;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        if (this->hasFocus())
            View::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        View::focusInEvent(event);
        // After the list's own focus event, which Qt sends once this handler has returned.
        QMetaObject::invokeMethod(
            this, [this] { ReportCurrentItem(this); }, Qt::QueuedConnection);
    }
};

/// Keeps a screen reader's view of `panel` and everything on it true when the panel is shown
/// or hidden after the window was first read, so that reading the window line by line finds
/// it. (Qt's Linux bridge reports such a panel as showing, never as visible.)
void ReportVisibilityChanges(QWidget* panel);

/// Registers the accessible interfaces of the pages' own controls (links, announced hints).
void InstallAccessibleInterfaces();

} // namespace tovaro::gui
