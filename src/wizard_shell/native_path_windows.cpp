// On Windows the core's paths are UTF-8 with "\\": every name is reachable whatever the code
// page.
#include "native_path.h"

#include <QDir>

namespace tovaro::gui {

QString ToDisplay(const std::string& bytes)
{
    return QString::fromStdString(bytes);
}

std::string ToBytes(const QString& text)
{
    return QDir::toNativeSeparators(text).toStdString();
}

} // namespace tovaro::gui
