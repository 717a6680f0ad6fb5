#include "fakes.h"
#include "wizard_shell/settings.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tovaro;
using namespace tovaro::gui;

namespace {

int VisiblePages(test::Harness& h)
{
    int n = h.p1()->isVisible();
    for (const char* form : { "Form2", "Form3" }) {
        const QWidget* page = test::CreatedPage(form);
        n += page != nullptr && page->isVisible();
    }
    return n;
}

} // namespace

TEST(ShellTest, StartShowsOnlyPageOneWithTheCommonFrame)
{
    test::Harness h(QStringLiteral("/"));
    EXPECT_TRUE(h.p1()->isVisible());
    EXPECT_EQ(test::CreatedPage("Form2"), nullptr);
    EXPECT_EQ(test::CreatedPage("Form3"), nullptr);
    EXPECT_EQ(h.p1()->windowTitle(), QStringLiteral(" Tovaro Wizard 1.00"));
    EXPECT_EQ(h.p1()->size(), QSize(512, 503));
    EXPECT_EQ(h.p1()->minimumSize(), h.p1()->maximumSize());
    EXPECT_FALSE(h.p1()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(h.p1()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(h.p1()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(h.p1()->windowIcon().isNull());
    // Every size a desktop asks for, drawn for it: title bar, task bar, switcher.
    EXPECT_EQ(h.p1()->windowIcon().availableSizes(),
        QList<QSize>({ QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(256, 256) }));
    // Both images come from the resources built into the program.
    EXPECT_EQ(test::Control<QLabel>(h.p1(), "Image1")->pixmap().size(), QSize(88, 31));
    EXPECT_EQ(test::Control<QLabel>(h.p1(), "Label2")->text(),
        QStringLiteral("Schritt 1 - Wählen Sie alle Dateien aus die durchsucht werden sollen."));
    EXPECT_EQ(test::Control<QLabel>(h.p2(), "Label2")->text(),
        QStringLiteral("Schritt 1 - Wählen Sie die Farboptionen aus"));
    EXPECT_EQ(test::Control<QLabel>(h.p3(), "Label2")->text(),
        QStringLiteral("Schritt 4 - Erzeugen der Suchfunktion"));
    EXPECT_EQ(
        test::Control<QPushButton>(h.p3(), "Command6")->text(), QStringLiteral("<< S&chritt 3"));
    for (QPushButton* b : h.p1()->findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
}

TEST(ShellTest, PagesTakeThePlaceOfThePageTheyReplace)
{
    test::Harness h(QStringLiteral("/"));
    h.p1()->move(140, 90);
    test::Control<QPushButton>(h.p1(), "Command6")->click();
    EXPECT_EQ(h.p2()->pos(), QPoint(140, 90));
    EXPECT_FALSE(h.p1()->isVisible());
    EXPECT_EQ(VisiblePages(h), 1);

    h.p2()->move(300, 200);
    test::Control<QPushButton>(h.p2(), "Command8")->click();
    EXPECT_EQ(h.p1()->pos(), QPoint(300, 200));
    EXPECT_TRUE(h.p1()->isVisible());
    EXPECT_EQ(VisiblePages(h), 1);

    test::Control<QPushButton>(h.p1(), "Command6")->click();
    test::Control<QPushButton>(h.p2(), "Command6")->click();
    h.p3()->move(10, 20);
    test::Control<QPushButton>(h.p3(), "Command6")->click();
    EXPECT_EQ(h.p2()->pos(), QPoint(10, 20));
    EXPECT_TRUE(h.p2()->isVisible());
    EXPECT_FALSE(h.p3()->isVisible());
    EXPECT_EQ(VisiblePages(h), 1);
}

TEST(ShellTest, ContentsSurviveAndPageThreeInitialisesOnce)
{
    QTemporaryDir programDir;
    test::Harness h(QStringLiteral("/"), programDir.path());
    test::Control<QPushButton>(h.p1(), "Command6")->click(); // with an empty list: allowed
    test::Control<QLineEdit>(h.p2(), "Text2")->setText(QStringLiteral("Meine Suche"));
    test::Control<QPushButton>(h.p2(), "Command6")->click();
    EXPECT_EQ(test::Control<QLineEdit>(h.p3(), "Text1")->text(),
        QDir::toNativeSeparators(programDir.path() + QStringLiteral("/lookup.htm")));
    test::Control<QLineEdit>(h.p3(), "Text1")->setText(QStringLiteral("/tmp/suche.htm"));
    for (int i = 0; i < 3; ++i) {
        test::Control<QPushButton>(h.p3(), "Command6")->click();
        test::Control<QPushButton>(h.p2(), "Command8")->click();
        test::Control<QPushButton>(h.p1(), "Command6")->click();
        test::Control<QPushButton>(h.p2(), "Command6")->click();
    }
    EXPECT_EQ(test::Control<QLineEdit>(h.p3(), "Text1")->text(), QStringLiteral("/tmp/suche.htm"));
    EXPECT_EQ(test::Control<QLineEdit>(h.p2(), "Text2")->text(), QStringLiteral("Meine Suche"));
}

TEST(ShellTest, ClosingAnyPageEndsTheProgram)
{
    test::Harness h(QStringLiteral("/"));
    test::Control<QPushButton>(h.p1(), "Command6")->click();
    EXPECT_TRUE(h.p2()->close());
    EXPECT_EQ(h.ends, 1);
    test::Harness h3(QStringLiteral("/"));
    test::Control<QPushButton>(h3.p1(), "Command6")->click();
    test::Control<QPushButton>(h3.p2(), "Command6")->click();
    EXPECT_TRUE(h3.p3()->close());
    EXPECT_EQ(h3.ends, 1);
}

namespace {

QString StoredProgramPath()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantwell"));
    return settings.value(QStringLiteral("Tovaro/Path")).toString();
}

} // namespace

TEST(ShellTest, SettingsEntryIsRewrittenAtEachStart)
{
    // The folder as the system writes it ("\\opt\\tovaro" on Windows).
    auto native
        = [](const char* path) { return QDir::toNativeSeparators(QString::fromUtf8(path)); };
    QStandardPaths::setTestModeEnabled(true);
    WriteProgramPath(QStringLiteral("/opt/tovaro"));
    EXPECT_EQ(StoredProgramPath(), native("/opt/tovaro"));
    WriteProgramPath(QStringLiteral("/usr/lib/tovaro"));
    EXPECT_EQ(StoredProgramPath(), native("/usr/lib/tovaro"));
    WriteProgramPath(QStringLiteral("/usr/lib/tovaro"));
    EXPECT_EQ(StoredProgramPath(), native("/usr/lib/tovaro"));
}

TEST(LinksTest, HelpButtonsBannerAndAddressLabels)
{
    test::Harness h(QStringLiteral("/"), QStringLiteral("/opt/tovaro"));
    test::Control<QPushButton>(h.p1(), "Command7")->click();
    test::Control<QPushButton>(h.p2(), "Command7")->click();
    test::Control<QPushButton>(h.p3(), "Command7")->click();
    EXPECT_EQ(h.opener.opened, QStringList(3, QStringLiteral("/opt/tovaro/help/index.htm")));
    h.opener.opened.clear();

    auto click = [](QWidget* w) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
            Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3),
            Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    };
    click(test::Control<QLabel>(h.p1(), "Image1"));
    click(test::Control<QLabel>(h.p3(), "Image1")); // does nothing on page 3
    click(test::Control<QLabel>(h.p3(), "Label5"));
    click(test::Control<QLabel>(h.p3(), "Label4"));
    // The addresses written out: a web address, and the mail address after "mailto:".
    EXPECT_EQ(h.opener.opened,
        (QStringList { QStringLiteral("https://www.tovaro.example/"),
            QStringLiteral("https://www.tovaro.example/"),
            QStringLiteral("mailto:info@tovaro.example") }));
    EXPECT_EQ(
        test::Control<QLabel>(h.p3(), "Label5")->text(), QStringLiteral("www.tovaro.example"));
    EXPECT_EQ(
        test::Control<QLabel>(h.p3(), "Label4")->text(), QStringLiteral("info@tovaro.example"));
    EXPECT_FALSE(test::Control<QLabel>(h.p1(), "Image1")->pixmap().isNull());
    EXPECT_EQ(test::Control<QLabel>(h.p1(), "Image1")->pixmap().size(), QSize(88, 31));
}

// F1 is where users look for help: on each page it does what the page's help does (page 3
// shows its help panel), and nothing while an action runs.
TEST(LinksTest, F1OpensThePagesHelp)
{
    test::Harness h(QStringLiteral("/"), QStringLiteral("/opt/tovaro"));
    auto press = [](QWidget* page) {
        page->show();
        QApplication::setActiveWindow(page); // a window's keys reach it while it is active
        QTest::keyClick(page, Qt::Key_F1);
    };
    press(h.p1());
    press(h.p2());
    EXPECT_EQ(h.opener.opened, QStringList(2, QStringLiteral("/opt/tovaro/help/index.htm")));
    press(h.p3());
    EXPECT_TRUE(test::Control<QGroupBox>(h.p3(), "Frame5")->isVisible());
    EXPECT_TRUE(test::Control<QPushButton>(h.p3(), "Command3")->hasFocus());
    EXPECT_EQ(h.opener.opened.size(), 2);
    test::Control<QPushButton>(h.p3(), "Command3")->click();
    {
        const ActionsBlocked blocked;
        press(h.p3());
    }
    EXPECT_FALSE(test::Control<QGroupBox>(h.p3(), "Frame5")->isVisible());
}

TEST(LinksTest, HelpPathAtTheRootKeepsTheDoubledSeparator)
{
    EXPECT_EQ(HelpDocumentPath(QStringLiteral("/")), QStringLiteral("//help/index.htm"));
    test::Harness h(QStringLiteral("/"), QStringLiteral("/"));
    test::Control<QPushButton>(h.p1(), "Command7")->click();
    EXPECT_EQ(h.opener.opened, QStringList { QStringLiteral("//help/index.htm") });
    if (::access("/", W_OK) == 0) {
        EXPECT_EQ(
            test::Control<QLineEdit>(h.p3(), "Text1")->text(), QStringLiteral("//lookup.htm"));
    }
}

TEST(LayoutTest, EveryCaptionFitsItsControl)
{
    test::Harness h(QStringLiteral("/"));
    QStringList tooNarrow;
    for (QWidget* page : std::initializer_list<QWidget*> { h.p1(), h.p2(), h.p3() }) {
        for (QLabel* l : page->findChildren<QLabel*>()) {
            if (l->text().isEmpty() || l->wordWrap())
                continue;
            const int need = l->fontMetrics().horizontalAdvance(l->text());
            if (need > l->width())
                tooNarrow << page->objectName() + "." + l->objectName()
                        + QString(" %1>%2").arg(need).arg(l->width());
        }
        for (QPushButton* b : page->findChildren<QPushButton*>()) {
            QString text = b->text();
            text.remove(QLatin1Char('&'));
            const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b)
                + 2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
            const int need = b->fontMetrics().horizontalAdvance(text) + margin;
            if (need > b->width())
                tooNarrow << page->objectName() + "." + b->objectName()
                        + QString(" %1>%2").arg(need).arg(b->width());
        }
        for (QGroupBox* g : page->findChildren<QGroupBox*>()) {
            const int need = g->fontMetrics().horizontalAdvance(g->title()) + 16;
            if (need > g->width())
                tooNarrow << page->objectName() + "." + g->objectName();
        }
    }
    EXPECT_TRUE(tooNarrow.isEmpty()) << tooNarrow.join(", ").toStdString();
}

TEST(LayoutTest, NoLabelCoversAControl)
{
    test::Harness h(QStringLiteral("/"));
    test::Control<QGroupBox>(h.p3(), "Frame4")->show(); // as after a run
    QStringList covered;
    for (QWidget* page : std::initializer_list<QWidget*> { h.p1(), h.p2(), h.p3() }) {
        for (QWidget* w : page->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QPushButton*>(w) || qobject_cast<QLineEdit*>(w)
                || qobject_cast<QListWidget*>(w);
            if (!control || !w->isVisibleTo(page))
                continue;
            const QPoint centre = w->mapTo(page, w->rect().center());
            QWidget* hit = page->childAt(centre);
            if (hit != w && !w->isAncestorOf(hit))
                covered << page->objectName() + "." + w->objectName();
        }
    }
    EXPECT_TRUE(covered.isEmpty()) << covered.join(", ").toStdString();
}
