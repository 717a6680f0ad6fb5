// Paths cross between the core (bytes) and the widgets (QString) without loss: a name that is
// not valid in the local encoding keeps its bytes in the item's data.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

namespace tovaro::gui {

inline QString ToDisplay(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string ToBytes(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

/// Item data role that holds a path's or a name's bytes.
constexpr int kBytesRole = Qt::UserRole + 1;

} // namespace tovaro::gui
