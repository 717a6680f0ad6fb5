#include "settings.h"

#include <QDir>
#include <QSettings>
#include <memory>

namespace tovaro::gui {

namespace {

// The application "Brantwell" of the user's settings: the registry on Windows, a file in the
// configuration folder on Linux.
std::unique_ptr<QSettings> Store()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantwell"));
}

const QString kSpellingVariants = QStringLiteral("Tovaro/Schreibweisen");

} // namespace

void WriteProgramPath(const QString& programDir)
{
    // As the system writes paths: "C:\\Program Files\\Tovaro Wizard" on Windows.
    Store()->setValue(QStringLiteral("Tovaro/Path"), QDir::toNativeSeparators(programDir));
}

bool UserSettings::SpellingVariants()
{
    return Store()->value(kSpellingVariants, false).toBool();
}

void UserSettings::SetSpellingVariants(bool on)
{
    Store()->setValue(kSpellingVariants, on);
}

} // namespace tovaro::gui
