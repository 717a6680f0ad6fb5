#include "wizard_page.h"

#include "accessibility.h"
#include "document_opener.h"
#include "layout.h"
#include "window_place.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace tovaro::gui {
namespace {

/// The program's icon in the sizes drawn for it: title bars and task bars pick the nearest.
QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : { 16, 32, 48, 256 })
        icon.addFile(QStringLiteral(":/tovaro/icons/tovaro-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

WizardPage::WizardPage(const char* formName, const QString& heading, DesktopServices& desktop)
    : QWidget(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , desktop_(desktop)
{
    setObjectName(QLatin1String(formName));
    setWindowTitle(QStringLiteral(" Tovaro Wizard 1.00"));
    setWindowIcon(ProgramIcon());
    setFixedSize(kClientWidth, kClientHeight);
    setFont(PageFont());
    setAutoFillBackground(true);

    // The heading and the help button; each page adds its own controls.
    const PageControls controls = BuildControls(this,
        {
            { "Label2", kind::Label, nullptr, nullptr, { 120, 120, 7455, 255 }, 0 },
            { "Command7", kind::Button, "&Hilfe", nullptr, { 120, 6960, 1215, 375 }, 0 },
        });
    controls.Get<QLabel>("Label2")->setText(heading);
    // A screen reader names the page with its heading when the page comes up.
    setAccessibleDescription(heading);
    ShowFocusRing(this);
    MakeLine("Line2", 460, QPalette::Light);
    MakeLine("Line1", 480, QPalette::Mid);
    MakeLine("Line4", 6720, QPalette::Light);
    MakeLine("Line3", 6735, QPalette::Mid);
    helpButton_ = controls.Get<QPushButton>("Command7");
    connect(
        controls.Get<QPushButton>("Command7"), &QPushButton::clicked, this, &WizardPage::OpenHelp);
    // F1 anywhere in the page; not while an action runs and the page's controls refuse input.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setObjectName(QStringLiteral("F1"));
    connect(f1, &QShortcut::activated, this, [this] {
        if (helpButton_->isEnabled())
            ShowHelpForPage();
    });
}

void WizardPage::ShowHelpForPage()
{
    OpenHelp();
}

QFrame* WizardPage::MakeLine(const char* name, int top, QPalette::ColorRole role)
{
    auto* line = new QFrame(this);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(0, Px(top), kClientWidth, 1);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, palette().color(role));
    line->setPalette(pal);
    return line;
}

void WizardPage::OpenHelp()
{
    OpenDocument(*desktop_.opener, HelpDocumentPath(desktop_.directory));
}

void WizardPage::showEvent(QShowEvent* event)
{
    if (!captionsFitted_) {
        FitCaptions(this);
        captionsFitted_ = true;
    }
    QWidget::showEvent(event);
}

void WizardPage::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kLarge))
        setWindowState(windowState() & ~kLarge);
}

void WizardPage::closeEvent(QCloseEvent* event)
{
    event->accept();
    desktop_.end();
}

namespace {
constexpr const char* kLiveWhileBusy = "tovaroLiveWhileBusy";
}

void KeepLiveWhileBusy(QWidget* control)
{
    control->setProperty(kLiveWhileBusy, true);
}

ActionsBlocked::ActionsBlocked()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<WizardPage*>(window) == nullptr)
            continue;
        if (window->focusWidget() != nullptr)
            focus_.emplace_back(window->focusWidget());
        for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isWindow() || !control->isEnabled()
                || control->property(kLiveWhileBusy).toBool())
                continue;
            control->setEnabled(false);
            disabled_.emplace_back(control);
        }
    }
}

ActionsBlocked::~ActionsBlocked()
{
    for (const QPointer<QWidget>& control : disabled_) {
        if (control)
            control->setEnabled(true);
    }
    // Disabling moved the focus away from the control that started the action.
    for (const QPointer<QWidget>& control : focus_) {
        if (control && control->isEnabled())
            control->setFocus();
    }
}

void ChangePage(QWidget* current, QWidget* target)
{
    const QPoint place = ClientTopLeft(current);
    PlaceClient(target, place);
    target->show();
    KeepPlaceWhenShown(target, place);
    target->raise();
    target->activateWindow();
    current->hide();
}

} // namespace tovaro::gui
