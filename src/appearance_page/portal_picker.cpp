#include "portal_picker.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <cmath>

namespace tovaro::gui {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

unsigned Channel(double v)
{
    return static_cast<unsigned>(std::lround(std::fmin(1.0, std::fmax(0.0, v)) * 255.0));
}

} // namespace

bool IsWaylandSession()
{
    return qgetenv("XDG_SESSION_TYPE") == "wayland"
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

PortalColourPicker::PortalColourPicker(Targets targets, QObject* parent)
    : QObject(parent)
    , targets_(std::move(targets))
{
}

void PortalColourPicker::ListenForResponse(const QString& path, bool on)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (on)
        bus.connect(QString(), path, kRequest, QStringLiteral("Response"), this,
            SLOT(TakeResponse(uint, QVariantMap)));
    else
        bus.disconnect(QString(), path, kRequest, QStringLiteral("Response"), this,
            SLOT(TakeResponse(uint, QVariantMap)));
}

void PortalColourPicker::Start()
{
    if (asking_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        targets_.fallBack();
        return;
    }
    asking_ = true;
    targets_.showHint(true);

    // The request object's path is known before the call, so the answer cannot come before
    // anybody listens for it.
    const QString token = QStringLiteral("tovaro%1").arg(++serial_);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    requestPath_ = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    ListenForResponse(requestPath_, true);

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath,
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("PickColor"));
    call << QString() << QVariantMap { { QStringLiteral("handle_token"), token } };
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (!asking_)
            return; // answered already
        if (reply.isError()) {
            // No portal, or one without PickColor: the live picker does the work.
            ListenForResponse(requestPath_, false);
            asking_ = false;
            targets_.fallBack();
            return;
        }
        const QString handle = reply.value().path();
        if (handle != requestPath_) {
            // An older portal chooses the path itself.
            ListenForResponse(requestPath_, false);
            requestPath_ = handle;
            ListenForResponse(requestPath_, true);
        }
    });
}

void PortalColourPicker::TakeResponse(uint code, const QVariantMap& results)
{
    if (!asking_)
        return;
    ListenForResponse(requestPath_, false);
    asking_ = false;
    targets_.showHint(false);
    // 0: picked; 1: cancelled; 2: failed. Only a pick changes anything.
    if (code != 0 || !results.contains(QStringLiteral("color")))
        return;
    const QDBusArgument arg = results.value(QStringLiteral("color")).value<QDBusArgument>();
    double r = 0;
    double g = 0;
    double b = 0;
    arg.beginStructure();
    arg >> r >> g >> b;
    arg.endStructure();
    // As a sample of the live picker: the preview, then the field.
    const ColourValue value = MakeColour(Channel(r), Channel(g), Channel(b));
    targets_.setPreview(value);
    targets_.setField(QString::fromStdString(ColourToCode(value)));
}

} // namespace tovaro::gui
