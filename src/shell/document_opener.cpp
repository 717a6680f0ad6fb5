#include "document_opener.h"

#include <QProcess>

namespace tovaro::gui {

void DesktopOpener::Open(const QString& target)
{
    QProcess::startDetached(QStringLiteral("xdg-open"), { target }, QStringLiteral("/"));
}

QString HelpDocumentPath(const QString& programDir)
{
    return programDir + QStringLiteral("/help/index.htm");
}

void OpenDocument(DocumentOpener& opener, const QString& target)
{
    opener.Open(target);
}

} // namespace tovaro::gui
