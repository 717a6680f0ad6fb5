#include "settings.h"

#include <QSettings>

namespace tovaro::gui {

void WriteProgramPath(const QString& programDir)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantwell"));
    settings.setValue(QStringLiteral("Tovaro/Path"), programDir);
    settings.sync();
}

} // namespace tovaro::gui
