// On POSIX systems a path is bytes in the local encoding; a name that is not valid in it keeps
// its bytes through Qt's file name codec.
#include "native_path.h"

#include <QByteArray>
#include <QFile>

namespace tovaro::gui {

QString ToDisplay(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string ToBytes(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

} // namespace tovaro::gui
