#include "layout.h"

#include "accessibility.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <algorithm>
#include <vector>

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
    if (auto* box = qobject_cast<QCheckBox*>(w)) { // right of its box
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
    }
    return w->contentsRect().width();
}

QString CaptionOf(QWidget* w)
{
    if (auto* button = qobject_cast<QAbstractButton*>(w))
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

namespace kind {

QWidget* Frame(QWidget* container, const QString& caption)
{
    auto* frame = new QGroupBox(caption, container);
    frame->setFont(PageFont(true));
    frame->setAutoFillBackground(true); // a frame in front hides what lies behind it
    return frame;
}

QWidget* PlainFrame(QWidget* container, const QString& caption)
{
    QWidget* frame = Frame(container, caption);
    frame->setFont(PageFont());
    return frame;
}

QWidget* Label(QWidget* container, const QString& caption)
{
    auto* label = new QLabel(caption, container);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* BoldLabel(QWidget* container, const QString& caption)
{
    QWidget* label = Label(container, caption);
    MarkBold(label);
    return label;
}

QWidget* Edit(QWidget* container, const QString& caption)
{
    return new QLineEdit(caption, container);
}

QWidget* Combo(QWidget* container, const QString&)
{
    auto* combo = new QComboBox(container);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QWidget* Button(QWidget* container, const QString& caption)
{
    auto* button = new QPushButton(caption, container);
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

} // namespace kind

void MarkBold(QWidget* w)
{
    w->setFont(PageFont(true));
    w->setProperty("tovaroBold", true);
}

QWidget* PageControls::Find(const char* name) const
{
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

namespace {

void NormalFontInFrames(QWidget* page)
{
    for (QGroupBox* frame : page->findChildren<QGroupBox*>()) {
        for (QWidget* w : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!w->property("tovaroBold").toBool())
                w->setFont(PageFont());
        }
    }
}

void LowerLabels(QWidget* container)
{
    const QList<QLabel*> labels
        = container->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    // Lowered last to first, so that the labels keep their order among themselves.
    for (auto it = labels.rbegin(); it != labels.rend(); ++it)
        (*it)->lower();
}

} // namespace

PageControls BuildControls(QWidget* page, std::initializer_list<ControlRow> rows)
{
    PageControls controls;
    std::vector<std::pair<int, QWidget*>> stops;
    for (const ControlRow& row : rows) {
        QWidget* w = nullptr;
        if (row.kind == kind::kFromFrame) {
            w = page->findChild<QWidget*>(QLatin1String(row.name), Qt::FindDirectChildrenOnly);
            if (w == nullptr)
                qFatal("the page frame has no control %s", row.name);
        } else {
            QWidget* container
                = row.container != nullptr ? controls.Get<QWidget>(row.container) : page;
            w = row.kind(container, QString::fromUtf8(row.caption));
            w->setObjectName(QLatin1String(row.name));
            const Place& p = row.place;
            w->setGeometry(TwipsRect(p.left, p.top, p.width, p.height));
        }
        controls.byName_[row.name] = w;
        if (row.tabStop > 0)
            stops.emplace_back(row.tabStop, w);
    }

    LowerLabels(page);
    for (QGroupBox* frame : page->findChildren<QGroupBox*>())
        LowerLabels(frame);
    NormalFontInFrames(page);

    // Tab moves through the stops in their order, then starts again.
    std::sort(
        stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
    if (!stops.empty())
        stops.front().second->setFocus(); // the first stop, when the page is first shown
    return controls;
}

} // namespace tovaro::gui
