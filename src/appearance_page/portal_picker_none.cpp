// Where no desktop portal exists (Windows), every program may read the screen: the live
// picker does the work.
#include "portal_picker.h"

namespace tovaro::gui {

bool IsWaylandSession()
{
    return false;
}

PortalColourPicker::PortalColourPicker(Targets targets, QObject* parent)
    : QObject(parent)
    , targets_(std::move(targets))
{
}

void PortalColourPicker::Start()
{
    if (targets_.fallBack)
        targets_.fallBack();
}

void PortalColourPicker::ListenForResponse(const QString&, bool) { }

void PortalColourPicker::TakeResponse(uint, const QVariantMap&) { }

} // namespace tovaro::gui
