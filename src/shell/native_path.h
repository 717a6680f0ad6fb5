// Paths cross between the core (bytes) and the widgets (QString) without loss: a name that is
// not valid in the local encoding keeps its bytes in the item's data.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <string>

namespace tovaro::gui {

#ifdef Q_OS_WIN
// On Windows the core's paths are UTF-8 with "\\": every name is reachable whatever the code
// page.
inline QString ToDisplay(const std::string& bytes)
{
    return QString::fromStdString(bytes);
}

inline std::string ToBytes(const QString& text)
{
    return QDir::toNativeSeparators(text).toStdString();
}
#else
inline QString ToDisplay(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string ToBytes(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}
#endif

/// Item data role that holds a path's or a name's bytes.
constexpr int kBytesRole = Qt::UserRole + 1;

} // namespace tovaro::gui
