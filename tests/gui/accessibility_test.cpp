// What keyboard and screen-reader users meet on the pages: names, a visible focus, links that
// keys open, colours readable on a dark desktop.
#include "core/colour.h"
#include "fakes.h"
#include "wizard_shell/colour_convert.h"
#include "wizard_shell/link_label.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <gtest/gtest.h>
#include <map>

using namespace tovaro;
using namespace tovaro::gui;

namespace {

std::vector<QWidget*> Pages(test::Harness& h)
{
    return { h.p1(), h.p2(), h.p3() };
}

// The controls that Tab can reach, the inner field of a combo box aside (it is the box).
std::vector<QWidget*> FocusableControls(QWidget* page)
{
    std::vector<QWidget*> controls;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) == 0 || qobject_cast<QComboBox*>(w->parentWidget())
            || w->window() != page) // a combo box's list is a window of its own
            continue;
        controls.push_back(w);
    }
    return controls;
}

// The Tab cycle of a page from the control that has the focus when the page is first shown.
QStringList TabCycle(QWidget* page)
{
    QStringList order;
    QWidget* const first = page->focusWidget();
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == page
            && !qobject_cast<QComboBox*>(w->parentWidget()))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && order.size() < 40);
    return order;
}

// What a screen reader announces for a control: its name, or for a combo box on Linux the
// label tied to it.
QString AnnouncedName(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface == nullptr)
        return {};
    if (qobject_cast<QComboBox*>(w) != nullptr) {
        for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
            if (label->role() == QAccessible::StaticText)
                return label->text(QAccessible::Name);
        }
        return {};
    }
    return iface->text(QAccessible::Name);
}

void Key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST(AccessibilityTest, EveryFocusableControlHasANameOfItsOwnAndPagesTheirHeading)
{
    test::Harness h(QStringLiteral("/"));
    for (QWidget* page : Pages(h)) {
        std::map<QString, QString> seen; // name -> control
        const std::vector<QWidget*> controls = FocusableControls(page);
        EXPECT_GE(controls.size(), 8u) << page->objectName().toStdString();
        for (QWidget* w : controls) {
            const QString name = AnnouncedName(w);
            const std::string where = page->objectName().toStdString() + "."
                + w->objectName().toStdString() + " (" + w->metaObject()->className() + ")";
            EXPECT_FALSE(name.trimmed().isEmpty()) << where;
            EXPECT_TRUE(seen.emplace(name, w->objectName()).second)
                << where << " has the name of " << seen[name].toStdString() << ": "
                << name.toStdString();
        }
        EXPECT_EQ(page->accessibleDescription(),
            test::Control<QLabel>(page, "Label2")->text()); // announced with the page
    }
}

TEST(AccessibilityTest, LinksAreReachedByTabAndOpenWithEnterOrSpace)
{
    test::Harness h(QStringLiteral("/"));
    auto* web = test::Control<LinkLabel>(h.p3(), "Label5");
    auto* mail = test::Control<LinkLabel>(h.p3(), "Label4");
    auto* banner = test::Control<LinkLabel>(h.p1(), "Image1");
    for (LinkLabel* link : { web, mail, banner })
        EXPECT_TRUE(link->focusPolicy() & Qt::TabFocus) << link->objectName().toStdString();
    Key(web, Qt::Key_Return);
    Key(mail, Qt::Key_Space);
    Key(banner, Qt::Key_Enter);
    Key(web, Qt::Key_A); // other keys do nothing
    ASSERT_EQ(h.opener.opened.size(), 3);
    EXPECT_TRUE(h.opener.opened[0].startsWith(QStringLiteral("http")));
    EXPECT_TRUE(h.opener.opened[1].startsWith(QStringLiteral("mailto:")));
    EXPECT_EQ(h.opener.opened[2], h.opener.opened[0]);
    // A screen reader presses a link through its action.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(web);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Link);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(h.opener.opened.size(), 4);
}

TEST(AccessibilityTest, TheFocusedControlHasARingOfTwoPixelsThatStandsOut)
{
    test::Harness h(QStringLiteral("/"));
    for (QWidget* page : Pages(h)) {
        page->show();
        QApplication::setActiveWindow(page);
        QWidget* elsewhere = test::Control<QPushButton>(page, "Command7");
        QWidget* other = test::Control<QPushButton>(page, "Command6");
        const QColor background = page->palette().color(QPalette::Window);
        for (QWidget* w : FocusableControls(page)) {
            if (!w->isVisibleTo(page))
                continue;
            QWidget* away = w == elsewhere ? other : elsewhere;
            away->setFocus();
            QApplication::processEvents();
            const QImage without = page->grab().toImage();
            w->setFocus();
            QApplication::processEvents();
            const QImage with = page->grab().toImage();
            // The band two pixels wide just outside the control, on all four sides.
            const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
            int changed = 0;
            int band = 0;
            int strong = 0;
            for (int y = r.top() - 3; y <= r.bottom() + 3; ++y) {
                for (int x = r.left() - 3; x <= r.right() + 3; ++x) {
                    const bool inside
                        = x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom();
                    if (inside || !with.rect().contains(x, y))
                        continue;
                    ++band;
                    if (with.pixel(x, y) != without.pixel(x, y)) {
                        ++changed;
                        strong += ContrastRatio(
                                      FromQColor(QColor(with.pixel(x, y))), FromQColor(background))
                            >= 3.0;
                    }
                }
            }
            const std::string where
                = page->objectName().toStdString() + "." + w->objectName().toStdString();
            // A two-pixel ring covers two of the three rows around the control.
            EXPECT_GE(changed * 3, band * 2 - 12) << where;
            EXPECT_GE(strong * 10, changed * 9) << where;
        }
        page->hide();
    }
}

TEST(AccessibilityTest, LinkAndHintColoursAreReadableOnADarkDesktop)
{
    const QPalette saved = QApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Link, QColor(0, 0, 0xFF));
    QApplication::setPalette(dark);
    {
        test::Harness h(QStringLiteral("/"));
        for (const char* name : { "Label5", "Label4" }) {
            auto* link = test::Control<LinkLabel>(h.p3(), name);
            EXPECT_GE(ContrastRatio(FromQColor(link->palette().color(QPalette::WindowText)),
                          FromQColor(link->parentWidget()->palette().color(QPalette::Window))),
                4.5)
                << name;
        }
        auto* hint = test::Control<QLabel>(h.p2(), "Label1");
        EXPECT_GE(ContrastRatio(FromQColor(hint->palette().color(QPalette::WindowText)),
                      FromQColor(hint->palette().color(QPalette::Window))),
            4.5);
    }
    QApplication::setPalette(saved);
}

TEST(AccessibilityTest, PagesOneAndTwoTabInTheOrderOfTheirLayouts)
{
    test::Harness h(QStringLiteral("/"));
    EXPECT_EQ(TabCycle(h.p1()),
        (QStringList { "Drive1", "Dir1", "File1", "Command1", "Command2", "Command4", "List1",
            "Text1", "Command5", "Command3", "Image1", "Command6", "Command7" }));
    EXPECT_EQ(TabCycle(h.p2()),
        (QStringList { "Command6", "Command7", "Command8", "Text4", "Command1", "Command2",
            "Command3", "Command4", "Text1", "Combo1", "Combo2", "Text2" }));
}
