// Paths cross between the core (bytes) and the widgets (QString) without loss: a name that is
// not valid in the local encoding keeps its bytes in the item's data.
#pragma once

#include <QString>
#include <string>

namespace tovaro::gui {

/// A path or name of the core as text to show.
QString ToDisplay(const std::string& bytes);

/// A path the user sees or typed as the core's bytes.
std::string ToBytes(const QString& text);

/// Item data role that holds a path's or a name's bytes.
constexpr int kBytesRole = Qt::UserRole + 1;

} // namespace tovaro::gui
