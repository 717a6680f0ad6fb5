// A close request for a page ends the program even while a message box blocks the pages: Qt
// itself ignores requests for windows that a modal dialog blocks.
#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

namespace tovaro::gui {

class CloseRequestFilter : public QAbstractNativeEventFilter {
public:
    /// `isPage` tells whether a native window id belongs to a page; `end` ends the program.
    CloseRequestFilter(std::function<bool(quintptr)> isPage, std::function<void()> end);
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    std::function<bool(quintptr)> isPage_;
    std::function<void()> end_;
    unsigned protocols_ = 0;
    unsigned deleteWindow_ = 0;
};

/// Installs the filter for the pages, where the platform lets a program see the requests (X11).
void InstallCloseRequestFilter(std::function<void()> end);

} // namespace tovaro::gui
