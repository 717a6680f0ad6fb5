#pragma once

#include <QString>

namespace tovaro::gui {

/// Records the program's directory in the per-user settings (application "Brantwell", section
/// "Tovaro", key "Path"). Nothing depends on it: a failed write is ignored.
void WriteProgramPath(const QString& programDir);

} // namespace tovaro::gui
