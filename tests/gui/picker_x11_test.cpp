// The background picker against a real X server: a window of a known colour under the pointer
// (moved with xdotool), and a real Escape key press that stops the picker.
#include "fakes.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace tovaro;
using namespace tovaro::gui;

namespace {

void Pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

int Xdotool(const QStringList& args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args);
}

} // namespace

TEST(PickerOnRealScreenTest, TakesTheColourUnderThePointerUntilEscape)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));

    QWidget swatch;
    swatch.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    swatch.setAutoFillBackground(true);
    QPalette pal = swatch.palette();
    pal.setColor(QPalette::Window, QColor(0x12, 0xAB, 0x34));
    swatch.setPalette(pal);
    swatch.setGeometry(600, 300, 200, 200);
    swatch.show();
    Pump(300);

    test::RecordingOpener opener;
    test::RecordingMessages messages;
    test::MemoryChoices choices;
    DesktopServices desktop { QStringLiteral("/"), &test::NativeDisk(), &opener, &messages,
        &choices, [] {} };
    test::ScriptedDialog dialog;
    CursorPointer pointer;
    ScreenGrabPixels pixels;
    std::unique_ptr<KeySource> keys = MakeDesktopKeySource();
    AppearancePage page(desktop, dialog, { &pointer, &pixels, keys.get() });
    page.move(20, 20);
    page.show();
    Pump(300);

    test::Control<QPushButton>(&page, "Command2")->click();
    ASSERT_EQ(Xdotool({ "mousemove", "700", "400" }), 0);
    Pump(300);
    EXPECT_EQ(test::Control<QLineEdit>(&page, "Text4")->text(), QStringLiteral("#12AB34"));
    EXPECT_TRUE(test::PickerRunning(&page, "Timer1"));
    EXPECT_TRUE(test::Control<QLabel>(&page, "Label1")->isVisible());

    // A tap far shorter than a tick (xdotool lets go at once) ends the picker.
    ASSERT_EQ(Xdotool({ "key", "Escape" }), 0);
    Pump(100);
    EXPECT_FALSE(test::PickerRunning(&page, "Timer1"));
    // An Escape while no picker runs is not the next picker's: it follows the pointer.
    ASSERT_EQ(Xdotool({ "key", "Escape" }), 0);
    Pump(100);
    test::Control<QPushButton>(&page, "Command2")->click();
    Pump(200);
    EXPECT_TRUE(test::PickerRunning(&page, "Timer1"));

    // Held across several ticks, as a person presses a key.
    ASSERT_EQ(Xdotool({ "keydown", "Escape" }), 0);
    Pump(200);
    ASSERT_EQ(Xdotool({ "keyup", "Escape" }), 0);
    Pump(100);
    EXPECT_FALSE(test::PickerRunning(&page, "Timer1"));
    EXPECT_FALSE(test::Control<QLabel>(&page, "Label1")->isVisible());

    // Stopped: the field keeps the last sample.
    ASSERT_EQ(Xdotool({ "mousemove", "10", "740" }), 0);
    Pump(200);
    EXPECT_EQ(test::Control<QLineEdit>(&page, "Text4")->text(), QStringLiteral("#12AB34"));
}
