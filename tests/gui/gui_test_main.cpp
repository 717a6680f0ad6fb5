#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "wizard_shell/layout.h"

int main(int argc, char** argv)
{
    // Offscreen unless a test asks for a real display; settings never touch the user's own.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    tovaro::gui::InstallPageLook();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
