// Every caption fits its control, whatever fonts the system has: run with the fonts of the
// machine, and again with only DejaVu and with only a monospace face (FONTCONFIG_FILE), on
// Qt's offscreen platform and on an X server, whose font rendering is the user's.
#include "fakes.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tovaro;

namespace {

// How wide the caption comes out on this platform: its advance, or the columns its glyphs'
// ink covers when it is drawn (hinting and overhangs), whichever is wider.
int DrawnWidth(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(text);
    QImage image(advance + 40, metrics.height() + 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(20, 5 + metrics.ascent(), text);
    }
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return std::max(advance, right - left + 1);
}

} // namespace

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
            EXPECT_LE(DrawnWidth(b->font(), caption), room - 2)
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
