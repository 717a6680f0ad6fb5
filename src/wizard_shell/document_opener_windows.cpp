#include "document_opener.h"

#include <QDir>
#include <QUrl>
#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

namespace tovaro::gui {

void DesktopOpener::Open(const QString& target)
{
    // The shell's "open" verb finds the program registered for the document or the address
    // itself; nothing is started from the current folder.
    const bool address = QUrl(target).scheme().size() > 1;
    const QString native = address ? target : QDir::toNativeSeparators(target);
    ::ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(native.utf16()), nullptr,
        nullptr, SW_SHOWNORMAL);
}

} // namespace tovaro::gui
