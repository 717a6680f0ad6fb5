#include "document_opener.h"

namespace tovaro::gui {

QString HelpDocumentPath(const QString& programDir)
{
    return programDir + QStringLiteral("/help/index.htm");
}

void OpenDocument(DocumentOpener& opener, const QString& target)
{
    opener.Open(target);
}

} // namespace tovaro::gui
