// Every caption fits its control, whatever fonts the system has: run with the fonts of the
// machine, and again with only DejaVu and with only a monospace face (FONTCONFIG_FILE).
#include "fakes.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <gtest/gtest.h>

using namespace tovaro;

TEST(CaptionTest, EveryCaptionFitsItsControl)
{
    test::Harness h(QStringLiteral("/"));
    size_t checked = 0;
    for (QWidget* page : std::initializer_list<QWidget*> { h.p1(), h.p2(), h.p3() }) {
        page->show();
        for (QPushButton* b : page->findChildren<QPushButton*>()) {
            QStyleOptionButton option;
            option.initFrom(b);
            if (b->autoDefault())
                option.features |= QStyleOptionButton::AutoDefaultButton;
            const int room
                = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
            const QString caption = b->text().remove(QLatin1Char('&'));
            // Two pixels to spare: hinting on a real screen widens a caption by about that.
            EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(caption), room - 2)
                << caption.toStdString() << " in " << QFontInfo(b->font()).family().toStdString();
            ++checked;
        }
        for (QLabel* l : page->findChildren<QLabel*>()) {
            if (l->wordWrap() || l->text().isEmpty())
                continue;
            EXPECT_LE(
                QFontMetrics(l->font()).horizontalAdvance(l->text()), l->contentsRect().width() - 2)
                << l->text().toStdString() << " in " << QFontInfo(l->font()).family().toStdString();
            ++checked;
        }
        page->hide();
    }
    EXPECT_GE(checked, 40u);
}
