#include "document_opener.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace tovaro::gui {

namespace {

// xdg-open in one of the PATH's absolute folders: a relative entry (".", or an empty one)
// would run whatever file of that name lies in the current folder.
QString XdgOpen()
{
    const QStringList path = qEnvironmentVariable("PATH").split(QLatin1Char(':'));
    QStringList absolute;
    for (const QString& folder : path) {
        if (QDir::isAbsolutePath(folder))
            absolute << folder;
    }
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"), absolute);
}

} // namespace

void DesktopOpener::Open(const QString& target)
{
    const QString program = XdgOpen();
    if (!program.isEmpty())
        QProcess::startDetached(program, { target }, QStringLiteral("/"));
}

} // namespace tovaro::gui
