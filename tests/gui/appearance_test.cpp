#include "appearance_page/colour_dialog.h"
#include "fakes.h"
#include "wizard_shell/colour_convert.h"

#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tovaro;
using namespace tovaro::gui;

namespace {

class AppearanceTest : public ::testing::Test {
protected:
    test::Harness h { QStringLiteral("/") };
    AppearancePage* page = h.p2();

    QString Bg() const { return test::Control<QLineEdit>(page, "Text4")->text(); }
    QString Fg() const { return test::Control<QLineEdit>(page, "Text1")->text(); }
    ColourValue BgPreview() const
    {
        return FromQColor(test::Control<QLabel>(page, "Shape1")->palette().color(QPalette::Window));
    }
    ColourValue FgPreview() const
    {
        return FromQColor(test::Control<QLabel>(page, "Shape2")->palette().color(QPalette::Window));
    }
};

} // namespace

TEST_F(AppearanceTest, InitialContents)
{
    Appearance a = page->Options();
    EXPECT_EQ(a.backgroundColour, "#FFFFE1");
    EXPECT_EQ(a.textColour, "#000000");
    EXPECT_EQ(a.fontFace, "Arial, Helvetica, sans-serif");
    EXPECT_EQ(a.fontSize, "3");
    EXPECT_EQ(a.heading, "Tovaro Suche");
    EXPECT_EQ(test::Control<QComboBox>(page, "Combo1")->count(), 5);
    EXPECT_EQ(test::Control<QComboBox>(page, "Combo1")->itemText(4),
        QStringLiteral("Comic Sans MS, Arial"));
    EXPECT_EQ(test::Control<QComboBox>(page, "Combo2")->count(), 7);
    EXPECT_EQ(BgPreview(), MakeColour(0xFF, 0xFF, 0xE1));
    EXPECT_FALSE(test::Control<QLabel>(page, "Label1")->isVisibleTo(page));
}

TEST_F(AppearanceTest, DialogWritesItsColourIntoTheTargetOnly)
{
    h.dialog.answers = { MakeColour(255, 0, 0) };
    test::Control<QPushButton>(page, "Command1")->click();
    EXPECT_EQ(Bg(), QStringLiteral("#FF0000"));
    EXPECT_EQ(BgPreview(), MakeColour(255, 0, 0));
    EXPECT_EQ(Fg(), QStringLiteral("#000000"));

    h.dialog.answers = { MakeColour(18, 52, 86) };
    test::Control<QPushButton>(page, "Command4")->click();
    EXPECT_EQ(Fg(), QStringLiteral("#123456"));
    EXPECT_EQ(FgPreview(), MakeColour(18, 52, 86));
    EXPECT_EQ(Bg(), QStringLiteral("#FF0000"));
}

TEST_F(AppearanceTest, CancelKeepsTheFieldAndThePreview)
{
    test::Control<QPushButton>(page, "Command1")->click(); // cancelled, never confirmed before
    EXPECT_EQ(Bg(), QStringLiteral("#FFFFE1"));
    EXPECT_EQ(BgPreview(), MakeColour(0xFF, 0xFF, 0xE1));
    h.dialog.answers = { MakeColour(255, 255, 0) };
    test::Control<QPushButton>(page, "Command1")->click();
    EXPECT_EQ(Bg(), QStringLiteral("#FFFF00"));
    test::Control<QLineEdit>(page, "Text4")->setText(QStringLiteral("#123456"));
    test::Control<QPushButton>(page, "Command4")->click(); // cancelled: the text colour stays
    test::Control<QPushButton>(page, "Command1")->click(); // cancelled: what the user typed stays
    EXPECT_EQ(Fg(), QStringLiteral("#000000"));
    EXPECT_EQ(FgPreview(), 0u);
    EXPECT_EQ(Bg(), QStringLiteral("#123456"));
    EXPECT_EQ(h.dialog.runs, 4);
}

TEST_F(AppearanceTest, TypedValuesPassUncheckedAndLeaveThePreview)
{
    test::Control<QLineEdit>(page, "Text4")->setText(QStringLiteral("#00FF00"));
    test::Control<QComboBox>(page, "Combo2")->setEditText(QStringLiteral("12"));
    test::Control<QComboBox>(page, "Combo1")->setEditText(QStringLiteral("Verdana"));
    EXPECT_EQ(BgPreview(), MakeColour(0xFF, 0xFF, 0xE1));
    Appearance a = page->Options();
    EXPECT_EQ(a.backgroundColour, "#00FF00");
    EXPECT_EQ(a.fontSize, "12");
    EXPECT_EQ(a.fontFace, "Verdana");
}

TEST_F(AppearanceTest, ChoosingAFontEntryPreviewsItsFirstFamily)
{
    const QString before = test::Control<QComboBox>(page, "Combo1")->font().family();
    test::Control<QComboBox>(page, "Combo1")->setEditText(QStringLiteral("Times New Roman, serif"));
    EXPECT_EQ(test::Control<QComboBox>(page, "Combo1")->font().family(),
        before); // typing triggers nothing
    test::Control<QComboBox>(page, "Combo1")->setCurrentIndex(4);
    emit test::Control<QComboBox>(page, "Combo1")->activated(4);
    EXPECT_EQ(
        test::Control<QComboBox>(page, "Combo1")->font().family(), QStringLiteral("Comic Sans MS"));
    EXPECT_EQ(page->Options().fontFace, "Comic Sans MS, Arial");
}

TEST_F(AppearanceTest, PickerSamplesOnlyWhenThePointerMoved)
{
    test::Control<QPushButton>(page, "Command2")->click();
    EXPECT_TRUE(test::PickerRunning(page, "Timer1"));
    EXPECT_TRUE(test::Control<QLabel>(page, "Label1")->isVisibleTo(page));
    test::Control<ScreenPicker>(page, "Timer1")->Tick(); // resting at (0, 0): no sample
    EXPECT_EQ(h.pixels.reads, 0);
    EXPECT_EQ(Bg(), QStringLiteral("#FFFFE1"));

    h.pointer.at = QPoint(0x34, 0x12); // colour 0x1234: red 0x34, green 0x12
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    EXPECT_EQ(Bg(), QStringLiteral("#341200"));
    EXPECT_EQ(BgPreview(), 0x1234u);
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    EXPECT_EQ(h.pixels.reads, 1);
    EXPECT_EQ(Fg(), QStringLiteral("#000000")); // the other field is untouched
}

TEST_F(AppearanceTest, EscapeStopsThePickerAndThatTickStillSamples)
{
    test::Control<QPushButton>(page, "Command3")->click();
    h.pointer.at = QPoint(1, 0);
    test::Control<ScreenPicker>(page, "Timer2")->Tick();
    h.pointer.at = QPoint(2, 0);
    h.keys.Press();
    test::Control<ScreenPicker>(page, "Timer2")->Tick();
    EXPECT_FALSE(test::PickerRunning(page, "Timer2"));
    EXPECT_FALSE(test::Control<QLabel>(page, "Label1")->isVisibleTo(page));
    EXPECT_EQ(Fg(), QStringLiteral("#020000"));
    EXPECT_EQ(FgPreview(), 2u);

    // Started again where it last sampled: nothing until the pointer moves.
    test::Control<QPushButton>(page, "Command3")->click();
    test::Control<ScreenPicker>(page, "Timer2")->Tick();
    EXPECT_EQ(h.pixels.reads, 2);
}

TEST_F(AppearanceTest, ANewPickerEndsTheRunningOneAndOneTapOfEscapeEndsIt)
{
    test::Control<QPushButton>(page, "Command2")->click();
    test::Control<QPushButton>(page, "Command3")->click();
    EXPECT_FALSE(test::PickerRunning(page, "Timer1"));
    EXPECT_TRUE(test::PickerRunning(page, "Timer2"));
    EXPECT_TRUE(test::Control<QLabel>(page, "Label1")->isVisibleTo(page));
    // Escape went down and up again between two ticks: one tap ends the picker.
    h.keys.Tap();
    test::Control<ScreenPicker>(page, "Timer2")->Tick();
    EXPECT_FALSE(test::PickerRunning(page, "Timer2"));
    EXPECT_FALSE(test::Control<QLabel>(page, "Label1")->isVisibleTo(page));
}

TEST_F(AppearanceTest, PickerKeepsWritingWhilePageTwoIsHidden)
{
    test::Control<QPushButton>(page, "Command2")->click();
    test::Control<QPushButton>(page, "Command6")->click();
    EXPECT_FALSE(page->isVisible());
    h.pointer.at = QPoint(255, 0);
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    EXPECT_TRUE(test::PickerRunning(page, "Timer1"));
    EXPECT_EQ(Bg(), QStringLiteral("#FF0000"));
    test::Control<QPushButton>(h.p3(), "Command6")->click();
    EXPECT_EQ(Bg(), QStringLiteral("#FF0000"));
    EXPECT_TRUE(test::PickerRunning(page, "Timer1"));
}

TEST_F(AppearanceTest, TimerRunsAtTwentyMilliseconds)
{
    test::Control<QPushButton>(page, "Command2")->click();
    EXPECT_EQ(test::Control<QTimer>(page, "tick")->interval(), 20);
    EXPECT_FALSE(test::PickerRunning(page, "Timer2"));
}

TEST(FocusKeySourceTest, EscapeInTheProgramCountsOncePerPress)
{
    FocusKeySource keys;
    QWidget w;
    auto send = [&](QEvent::Type type) {
        QKeyEvent e(type, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&w, &e);
    };
    EXPECT_FALSE(keys.IsKeyPressed(kEscapeKey));
    send(QEvent::KeyPress);
    EXPECT_TRUE(keys.IsKeyPressed(kEscapeKey));
    EXPECT_FALSE(keys.IsKeyPressed(kEscapeKey)); // held: already reported
    send(QEvent::KeyRelease);
    send(QEvent::KeyPress);
    send(QEvent::KeyRelease);
    EXPECT_TRUE(keys.IsKeyPressed(kEscapeKey)); // pressed and released between two queries
    EXPECT_FALSE(keys.IsKeyPressed(kEscapeKey));
    EXPECT_FALSE(keys.IsKeyPressed(13));
    // A press before a picker began counting is not the picker's.
    send(QEvent::KeyPress);
    send(QEvent::KeyRelease);
    keys.BeginCounting(kEscapeKey);
    EXPECT_FALSE(keys.IsKeyPressed(kEscapeKey));
}

// An Escape pressed while no picker runs (to close the colour dialog) never ends the picker
// that starts next: it follows the pointer until a new Escape.
TEST_F(AppearanceTest, AnEscapeBeforeAPickerStartsNeverEndsIt)
{
    h.keys.Tap();
    test::Control<QPushButton>(page, "Command2")->click();
    h.pointer.at = QPoint(7, 0);
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    EXPECT_TRUE(test::PickerRunning(page, "Timer1"));
    EXPECT_TRUE(test::Control<QLabel>(page, "Label1")->isVisibleTo(page));
    EXPECT_EQ(Bg(), QStringLiteral("#070000"));
    h.pointer.at = QPoint(8, 0);
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    EXPECT_EQ(Bg(), QStringLiteral("#080000"));
    h.keys.Tap();
    test::Control<ScreenPicker>(page, "Timer1")->Tick();
    EXPECT_FALSE(test::PickerRunning(page, "Timer1"));
    // The source counted for as long as the picker ran.
    EXPECT_EQ(h.keys.begun, 1);
    EXPECT_EQ(h.keys.ended, 1);
}

TEST(QtColourDialogTest, OpensAtTheSharedColour)
{
    // The real dialog, confirmed at once with Enter: what it opened on is what it gives.
    QtColourDialog real;
    SharedColourChoice choice(real);
    QColor pick;
    auto confirm = [&pick] {
        QTimer::singleShot(0, [&pick] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (pick.isValid())
                dialog->setCurrentColor(pick);
            dialog->accept();
        });
    };
    confirm();
    EXPECT_EQ(choice.Choose(nullptr), MakeColour(0, 0, 0)); // black at first, not white
    pick = QColor(0x12, 0x34, 0x56);
    confirm();
    EXPECT_EQ(choice.Choose(nullptr), MakeColour(0x12, 0x34, 0x56));
    pick = QColor();
    confirm();
    EXPECT_EQ(choice.Choose(nullptr), MakeColour(0x12, 0x34, 0x56)); // opens at the last one
}

TEST_F(AppearanceTest, ChosenAndPickedColoursAreSpokenWithTheirField)
{
    test::Control<QPushButton>(h.p1(), "Command6")->click(); // page 2 shows
    test::SpokenLog spoken { page };
    h.dialog.answers = { MakeColour(0xFF, 0xEE, 0xCC) };
    test::Control<QPushButton>(page, "Command1")->click();
    EXPECT_EQ(spoken.Take(), QStringList { "Hintergrundfarbe #FFEECC" });
    test::Control<QPushButton>(page, "Command4")->click(); // cancelled: nothing changed
    EXPECT_EQ(spoken.Take(), QStringList());

    // The hint shows as a notification, which a screen reader speaks as it shows; the colour
    // is said once the picker's last sample is in the field.
    test::Control<QPushButton>(page, "Command3")->click();
    auto* hint = test::Control<QLabel>(page, "Label1");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(hint)->role(), QAccessible::Notification);
    h.pointer.at = QPoint(3, 0);
    h.keys.Press();
    test::Control<ScreenPicker>(page, "Timer2")->Tick();
    QApplication::processEvents();
    EXPECT_EQ(spoken.Take(), QStringList { "Textfarbe #030000" });
}

TEST_F(AppearanceTest, ATypedValueThatIsNoColourCodeIsSaidToBeNone)
{
    test::Control<QPushButton>(h.p1(), "Command6")->click();
    auto* field = test::Control<QLineEdit>(page, "Text4");
    QApplication::setActiveWindow(page);
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    auto* paused = test::Control<QTimer>(page, "typingPause");
    paused->setInterval(1); // the pause is not what is tested
    test::SpokenLog spoken { page };
    const struct {
        const char* typed;
        QStringList said;
    } cases[] = {
        { "#12", { "Kein Farbcode: #12, die Farbfläche bleibt unverändert" } },
        { "#ffeecc", {} },
        { "rot", { "Kein Farbcode: rot, die Farbfläche bleibt unverändert" } },
        { "#00FF00", {} },
    };
    for (const auto& c : cases) {
        field->clear();
        for (const QChar ch : QString::fromUtf8(c.typed)) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(field, &press);
        }
        ASSERT_TRUE(paused->isActive()) << c.typed;
        while (paused->isActive())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(spoken.Take(), c.said) << c.typed;
        // Heard again with the field whenever it takes the focus.
        EXPECT_EQ(field->accessibleDescription().isEmpty(), c.said.isEmpty()) << c.typed;
    }
    EXPECT_EQ(page->Options().backgroundColour, "#00FF00"); // kept as typed
}
