#include "layout.h"

#include "accessibility.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

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

namespace {

// The room a caption has: a button's contents as the style lays them out, a label's contents.
int CaptionRoom(QWidget* w)
{
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->autoDefault()) // room for the default frame that Enter may give it
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect contents
            = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return contents.width();
    }
    return w->contentsRect().width();
}

QString CaptionOf(QWidget* w)
{
    if (auto* button = qobject_cast<QPushButton*>(w))
        return button->text().remove(QLatin1Char('&'));
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->wordWrap())
        return label->text();
    return {};
}

} // namespace

void FitCaptions(QWidget* page)
{
    constexpr int kSmallestPixels = 7;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const QString caption = CaptionOf(w);
        if (caption.isEmpty())
            continue;
        // A few pixels to spare: hinting on a real screen widens a caption a little.
        const int room = CaptionRoom(w) - 4;
        QFont f = w->font();
        while (
            QFontMetrics(f).horizontalAdvance(caption) > room && f.pixelSize() > kSmallestPixels) {
            f.setPixelSize(f.pixelSize() - 1);
            w->setFont(f);
        }
    }
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
