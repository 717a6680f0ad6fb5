// The colour picker of a Wayland session: no program may read the screen there, so the desktop
// portal's Screenshot.PickColor lets the user pick any pixel with the desktop's own loupe.
#pragma once

#include "core/colour.h"

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

namespace tovaro::gui {

/// True in a Wayland session: XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set.
bool IsWaylandSession();

class PortalColourPicker : public QObject {
    Q_OBJECT
public:
    struct Targets {
        std::function<void(ColourValue)> setPreview;
        std::function<void(const QString&)> setField;
        std::function<void(bool)> showHint; ///< the shared Escape hint
        /// Runs the live picker instead, where no portal answers or it cannot pick colours.
        std::function<void()> fallBack;
    };

    explicit PortalColourPicker(Targets targets, QObject* parent = nullptr);

    /// Shows the hint and asks the portal for a colour; does nothing while a request is open.
    void Start();

private slots:
    void TakeResponse(uint code, const QVariantMap& results);

private:
    void ListenForResponse(const QString& path, bool on);

    Targets targets_;
    bool asking_ = false;
    QString requestPath_;
    unsigned serial_ = 0;
};

} // namespace tovaro::gui
