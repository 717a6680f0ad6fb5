#include "close_requests.h"

#include "wizard_page.h"

#include <QApplication>
#include <QWidget>

namespace tovaro::gui {

void InstallCloseRequestFilter(std::function<void()> end)
{
    auto isPage = [](quintptr id) {
        QWidget* w = QWidget::find(static_cast<WId>(id));
        return qobject_cast<WizardPage*>(w) != nullptr;
    };
    // Lives as long as the program.
    static CloseRequestFilter filter(isPage, std::move(end));
    qApp->installNativeEventFilter(&filter);
}

} // namespace tovaro::gui
