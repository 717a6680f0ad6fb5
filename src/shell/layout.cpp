#include "layout.h"

#include "accessibility.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleFactory>

namespace tovaro::gui {

void InstallPageLook()
{
    // Narrow, metric-compatible faces first, so that the captions fit their controls.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
        { QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Noto Sans"),
            QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans") });
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(classic);
    QApplication::setFont(PageFont());
    InstallAccessibleInterfaces();
}

QFont PageFont(bool bold)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    // "MS Sans Serif" at 8.25 points (11 pixels at 96 dots per inch) is narrower than its
    // stand-ins; at 10 pixels they take about the same room, and every caption of the layout
    // fits its control.
    f.setPixelSize(10);
    f.setBold(bold);
    return f;
}

QGroupBox* MakeFrame(
    QWidget* page, const char* name, const QString& caption, Place p, bool boldCaption)
{
    auto* frame = MakeControl<QGroupBox>(page, name, p, caption);
    frame->setFont(PageFont(boldCaption));
    frame->setAutoFillBackground(true); // a frame in front hides what lies behind it
    return frame;
}

void MarkBold(QWidget* w)
{
    w->setFont(PageFont(true));
    w->setProperty("tovaroBold", true);
}

void NormalFontInFrames(QWidget* page)
{
    for (QGroupBox* frame : page->findChildren<QGroupBox*>()) {
        for (QWidget* w : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!w->property("tovaroBold").toBool())
                w->setFont(PageFont());
        }
    }
}

namespace {

void LowerLabels(QWidget* container)
{
    const QList<QLabel*> labels
        = container->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    // Lowered last to first, so that the labels keep their order among themselves.
    for (auto it = labels.rbegin(); it != labels.rend(); ++it)
        (*it)->lower();
}

} // namespace

void LabelsBelowControls(QWidget* page)
{
    LowerLabels(page);
    for (QGroupBox* frame : page->findChildren<QGroupBox*>())
        LowerLabels(frame);
}

void SetTabOrder(std::initializer_list<QWidget*> order)
{
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

QPushButton* MakeButton(QWidget* container, const char* name, const QString& caption, int left,
    int top, int width, int height)
{
    auto* b = MakeControl<QPushButton>(container, name, { left, top, width, height }, caption);
    b->setAutoDefault(true);
    b->setDefault(false);
    return b;
}

} // namespace tovaro::gui
