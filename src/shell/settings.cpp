#include "settings.h"

#include <QSettings>

namespace tovaro::gui {

void WriteProgramPath(const QString& programDir)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantwell"));
    settings.setValue(QStringLiteral("Tovaro/Path"), programDir);
    settings.sync();
}

QString ReadProgramPath()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantwell"));
    return settings.value(QStringLiteral("Tovaro/Path")).toString();
}

} // namespace tovaro::gui
