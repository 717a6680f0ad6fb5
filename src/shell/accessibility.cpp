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

QAccessibleInterface* PageInterfaces(const QString&, QObject* object)
{
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
