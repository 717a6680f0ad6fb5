#include "settings.h"

#include <QDir>
#include <QSettings>

namespace tovaro::gui {

void WriteProgramPath(const QString& programDir)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantwell"));
    // As the system writes paths: "C:\\Program Files\\Tovaro Wizard" on Windows.
    settings.setValue(QStringLiteral("Tovaro/Path"), QDir::toNativeSeparators(programDir));
    settings.sync();
}

} // namespace tovaro::gui
