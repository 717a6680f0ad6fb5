// Linux screen readers (AT-SPI): a panel that appears after the window has been read is told to
// be visible, not only showing.
//
// Qt's bridge reports a widget that is shown as "showing" and never as "visible". A screen
// reader that caches an object's states (Orca does) keeps a panel that was hidden when it first
// read the window as not visible, and its flat review then passes over everything on it. The
// bridge's own connection to the accessibility bus carries the missing state change, from the
// same sender and for the same object paths the bridge uses.
#include "accessibility.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEvent>
#include <QWidget>

namespace tovaro::gui {
namespace {

const QString kObjectPathPrefix = QStringLiteral("/org/a11y/atspi/accessible/");

/// An object reference as AT-SPI's events carry it: the sender's bus name and an object path.
QVariant ObjectReference(const QDBusConnection& bus, const QString& path)
{
    QDBusArgument reference;
    reference.beginStructure();
    reference << bus.baseService() << QDBusObjectPath(path);
    reference.endStructure();
    return QVariant::fromValue(reference);
}

void SendVisible(const QDBusConnection& bus, QWidget* widget, bool visible)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr)
        return;
    const QString path = kObjectPathPrefix + QString::number(QAccessible::uniqueId(accessible));
    QDBusMessage signal = QDBusMessage::createSignal(
        path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("StateChanged"));
    signal << QStringLiteral("visible") << (visible ? 1 : 0) << 0
           << QVariant::fromValue(QDBusVariant(ObjectReference(bus, path)))
           << ObjectReference(bus, kObjectPathPrefix + QStringLiteral("root"));
    bus.send(signal);
}

class VisibilityReporter : public QObject {
public:
    explicit VisibilityReporter(QWidget* panel)
        : QObject(panel)
        , panel_(panel)
    {
        panel->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool shown = event->type() == QEvent::Show;
        if (watched != panel_ || (!shown && event->type() != QEvent::Hide))
            return false;
        // The bridge's connection, once a screen reader has switched accessibility on.
        const QDBusConnection bus(QStringLiteral("a11y"));
        if (!QAccessible::isActive() || !bus.isConnected())
            return false;
        // The panel's children are shown before the panel's own show event, and hidden with it.
        SendVisible(bus, panel_, shown);
        for (QWidget* child : panel_->findChildren<QWidget*>())
            if (!child->isWindow() && child->isVisibleTo(panel_))
                SendVisible(bus, child, shown);
        return false;
    }

private:
    QWidget* panel_;
};

} // namespace

void ReportVisibilityChanges(QWidget* panel)
{
    new VisibilityReporter(panel);
}

} // namespace tovaro::gui
