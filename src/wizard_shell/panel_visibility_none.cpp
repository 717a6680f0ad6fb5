// Where the system's accessibility bridge reports a panel that is shown later as it is, there
// is nothing to add.
#include "accessibility.h"

namespace tovaro::gui {

void ReportVisibilityChanges(QWidget*) { }

} // namespace tovaro::gui
