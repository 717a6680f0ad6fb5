#include "app/wizard.h"
#include "appearance_page/portal_picker.h"
#include "appearance_page/screen_sources.h"
#include "wizard_shell/document_opener.h"
#include "wizard_shell/layout.h"
#include "wizard_shell/settings.h"

#include "platform/file_system.h"
#include "platform/stop_signals.h"
#include "wizard_shell/close_requests.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    // Before Qt starts its threads: a stop from outside never leaves a temporary file beside
    // the search page.
    tovaro::HandleStopSignalsOnOwnThread();
    // In a Wayland session with XWayland, run through X11, where a program may place its own
    // windows and a page change keeps the page's place. The user's QT_QPA_PLATFORM wins.
    if (tovaro::gui::IsWaylandSession() && !qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovaro Wizard"));
    QApplication::setDesktopFileName(QStringLiteral("tovaro"));
    tovaro::gui::InstallPageLook();

    // The interface is German whatever the user's locale, Qt's own dialogs included.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qtGerman;
    // Qt's own catalogue where Qt is installed (Linux), else the copy built into the program
    // (Windows, where Qt is linked in).
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || qtGerman.load(QStringLiteral(":/translations/qtbase_de.qm")))
        QApplication::installTranslator(&qtGerman);

    const QString programDir = QApplication::applicationDirPath();
    tovaro::gui::WriteProgramPath(programDir);

    const std::unique_ptr<tovaro::FileSystem> disk = tovaro::MakeNativeFileSystem();
    tovaro::gui::DesktopOpener opener;
    tovaro::gui::ModalMessageBoxes messages;
    tovaro::gui::UserSettings choices;
    tovaro::gui::DesktopServices desktop { programDir, disk.get(), &opener, &messages, &choices,
        [] { tovaro::gui::EndProcessNow(); } };
    tovaro::gui::InstallCloseRequestFilter([] { tovaro::gui::EndProcessNow(); });

    tovaro::gui::QtColourDialog dialog;
    tovaro::gui::CursorPointer pointer;
    tovaro::gui::ScreenGrabPixels pixels;
    std::unique_ptr<tovaro::gui::KeySource> keys = tovaro::gui::MakeDesktopKeySource();

    tovaro::gui::Wizard wizard(
        desktop, dialog, { &pointer, &pixels, keys.get() }, QDir::currentPath());
    wizard.Start();
    return QApplication::exec();
}
