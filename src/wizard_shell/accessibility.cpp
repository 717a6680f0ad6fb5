#include "accessibility.h"

#include "colour_convert.h"
#include "link_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QValidator>

namespace tovaro::gui {

void NameControl(QWidget* control, const QString& name, QLabel* label)
{
    control->setAccessibleName(name);
    // The text field of an editable combo box is where the focus lands.
    if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(name);
    if (label != nullptr)
        label->setBuddy(control);
}

QLabel* LabelInvisibly(QWidget* control, const QString& name)
{
    auto* label = new QLabel(name, control->parentWidget());
    label->setObjectName(control->objectName() + QStringLiteral("Label"));
    label->hide();
    NameControl(control, name, label);
    return label;
}

QColor ReadableOn(const QColor& preferred, const QColor& background, double minimum)
{
    return ToQColor(ReadableColour(FromQColor(preferred), FromQColor(background), minimum));
}

namespace {

// A frame of two pixels drawn around the focused control, above its neighbours; the mouse
// goes through it.
class FocusRing : public QWidget {
public:
    explicit FocusRing(QWidget* page)
        : QWidget(page)
        , page_(page)
    {
        setObjectName(QStringLiteral("FocusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
        connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { Follow(now); });
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QColor background = parentWidget()->palette().color(QPalette::Window);
        const QColor ring
            = ReadableOn(palette().color(QPalette::Highlight), background, kRingContrast);
        p.setPen(QPen(ring, kWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(
            QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
    }

private:
    static constexpr int kWidth = 2;
    static constexpr int kGap = 1;
    static constexpr double kRingContrast = 3.0;

    void Follow(QWidget* focused)
    {
        if (focused == nullptr || focused->window() != page_ || focused->parentWidget() == nullptr)
            return;
        // An editable combo box lends its focus to its line edit: ring the whole box.
        QWidget* control = focused;
        while (
            control->parentWidget() != nullptr && control->parentWidget()->focusProxy() == control)
            control = control->parentWidget();
        QWidget* container = control->parentWidget();
        if (container == nullptr)
            return;
        if (parentWidget() != container)
            setParent(container);
        const int margin = kWidth + kGap;
        setGeometry(control->geometry().adjusted(-margin, -margin, margin, margin));
        raise();
        show();
        update();
    }

    QWidget* page_;
};

// A clickable label exposed as a link that can be pressed.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel* label)
        : QAccessibleWidget(label, QAccessible::Link)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        auto* label = static_cast<LinkLabel*>(widget());
        if (t == QAccessible::Name)
            return label->accessibleName().isEmpty() ? label->text() : label->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            static_cast<LinkLabel*>(widget())->Activate();
        else
            QAccessibleWidget::doAction(name);
    }
};

// A hint that a screen reader reads out when it appears. (Orca speaks a notification as it
// shows; an alert that appears inside a window it does not speak.)
class AnnouncedAccessible : public QAccessibleWidget {
public:
    explicit AnnouncedAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// A text field as Qt's own interface shows it, but one that takes no text while it is disabled
// or read-only: Qt's writes an assistive technology's text into a field whatever its state, so
// that a field greyed out during a run could be changed while the run used its old text.
class EditAccessible : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
public:
    explicit EditAccessible(QLineEdit* edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        QString str = t == QAccessible::Value ? Edit()->displayText() : QString();
        if (str.isEmpty())
            str = QAccessibleWidget::text(t);
        if (str.isEmpty() && t == QAccessible::Description)
            str = Edit()->placeholderText();
        return str;
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        QString newText = text;
        int pos = 0;
        if (TakesText()
            && (Edit()->validator() == nullptr
                || Edit()->validator()->validate(newText, pos) == QValidator::Acceptable))
            Edit()->setText(newText);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = !TakesText();
        state.passwordEdit = Edit()->echoMode() != QLineEdit::Normal;
        state.selectableText = true;
        return state;
    }

    // Reading.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0)
            return;
        *startOffset = Edit()->selectionStart();
        *endOffset = *startOffset + static_cast<int>(Edit()->selectedText().size());
    }
    int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            Edit()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            Edit()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return Edit()->cursorPosition(); }
    void setCursorPosition(int position) override { Edit()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return startOffset > endOffset
            ? QString()
            : Edit()->displayText().mid(startOffset, endOffset - startOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int* startOffset, int* endOffset) const override
    {
        return QAccessibleTextInterface::textBeforeOffset(
            offset == -2 ? cursorPosition() : offset, boundaryType, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int* startOffset, int* endOffset) const override
    {
        return QAccessibleTextInterface::textAfterOffset(
            offset == -2 ? cursorPosition() : offset, boundaryType, startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
        int* endOffset) const override
    {
        return QAccessibleTextInterface::textAtOffset(
            offset == -2 ? cursorPosition() : offset, boundaryType, startOffset, endOffset);
    }
    int characterCount() const override { return static_cast<int>(Edit()->displayText().size()); }
    // Where a character stands on the screen: measured from the text cursor, which is the one
    // place of the text a line edit tells.
    QRect characterRect(int offset) const override
    {
        const QString shown = Edit()->displayText();
        if (offset < 0 || offset >= shown.size())
            return QRect();
        const QFontMetrics metrics(Edit()->font());
        const QRect cursor = Edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.x() + metrics.horizontalAdvance(shown.left(offset))
            - metrics.horizontalAdvance(shown.left(Edit()->cursorPosition()));
        QRect r(x, cursor.y(), metrics.horizontalAdvance(shown.mid(offset, 1)), cursor.height());
        r.moveTo(Edit()->mapToGlobal(r.topLeft()));
        return r;
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        Edit()->setCursorPosition(endIndex);
        Edit()->setCursorPosition(startIndex);
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = offset; // a line edit has no text attributes
        return QString();
    }

    // Writing, refused while the field takes no text.
    void deleteText(int startOffset, int endOffset) override
    {
        if (TakesText())
            Edit()->setText(Edit()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override
    {
        if (TakesText())
            Edit()->setText(Edit()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        if (TakesText())
            Edit()->setText(Edit()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(object()); }
    bool TakesText() const { return Edit()->isEnabled() && !Edit()->isReadOnly(); }
};

QAccessibleInterface* PageInterfaces(const QString&, QObject* object)
{
    // A spin box's field is part of the spin box's own interface.
    if (auto* edit = qobject_cast<QLineEdit*>(object);
        edit != nullptr && edit->objectName() != QLatin1String("qt_spinbox_lineedit"))
        return new EditAccessible(edit);
    if (auto* link = qobject_cast<LinkLabel*>(object))
        return new LinkAccessible(link);
    if (auto* hint = qobject_cast<AnnouncedLabel*>(object))
        return new AnnouncedAccessible(hint);
    if (auto* announcer = qobject_cast<Announcer*>(object))
        return new AnnouncedAccessible(announcer);
    return nullptr;
}

} // namespace

void ShowFocusRing(QWidget* page)
{
    new FocusRing(page);
}

void AnnouncedLabel::SetShown(bool shown)
{
    if (isHidden() != shown)
        return;
    setVisible(shown);
    if (shown) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

Announcer::Announcer(QWidget* window)
    : QLabel(window)
{
    setObjectName(QStringLiteral("Announcer"));
    hide();
}

Announcer* Announcer::Of(QWidget* from)
{
    QWidget* window = from->window();
    auto* announcer = window->findChild<Announcer*>(QString(), Qt::FindDirectChildrenOnly);
    return announcer != nullptr ? announcer : new Announcer(window);
}

void Announcer::Say(const QString& text)
{
    setText(text);
    // Shown to the accessibility layer only: the screen reader speaks the notification's text.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    emit Said(text);
}

void Announce(QWidget* from, const QString& text)
{
    Announcer::Of(from)->Say(text);
}

void ReportCurrentItem(QAbstractItemView* list)
{
    const QModelIndex current = list->currentIndex();
    if (!list->hasFocus() || !current.isValid() || !QAccessible::isActive())
        return;
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(current.row());
    QAccessible::updateAccessibility(&focus);
}

QString CountOf(qsizetype count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

void InstallAccessibleInterfaces()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(PageInterfaces);
    installed = true;
}

} // namespace tovaro::gui
