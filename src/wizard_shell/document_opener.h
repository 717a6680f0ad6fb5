// Opening outside documents (the help document, the maker's web site, a mail to the maker)
// with the program the desktop has registered for them.
#pragma once

#include <QString>

namespace tovaro::gui {

/// The maker's addresses, shown on page 3 and opened from the banner.
inline const QString kMakerWebAddress = QStringLiteral("https://www.tovaro.example/");
/// The web address as page 3 shows it.
inline constexpr char kMakerWebAddressShown[] = "www.tovaro.example";
inline constexpr char kMakerMailAddress[] = "info@tovaro.example";
inline const QString kMakerMailLink = QStringLiteral("mailto:info@tovaro.example");
inline constexpr char kMakerName[] = "Tovaro Wizard 1.00 – ein Werkzeug von Brantwell Software";

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    /// Hands `target` (a file path, a web or a mailto: address) to the desktop; returns at once
    /// and reports nothing.
    virtual void Open(const QString& target) = 0;
};

/// Opens through the system: on Linux xdg-open, found on the PATH's absolute folders only and
/// started detached in "/"; on Windows the shell's "open" verb, with the system's separators in
/// a path. No program is ever looked for in the current folder.
class DesktopOpener : public DocumentOpener {
public:
    void Open(const QString& target) override;
};

/// The help document: the program's directory followed by "/help/index.htm", as plain text (at
/// the root this gives a doubled separator, which is passed on as it is).
QString HelpDocumentPath(const QString& programDir);

/// Opens a target through the opener the program uses.
void OpenDocument(DocumentOpener& opener, const QString& target);

} // namespace tovaro::gui
