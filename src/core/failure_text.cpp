#include "failure_text.h"

#include "run.h"
#include "walk.h"

namespace tovaro {

const char* const kSuccessMessage = "Die Suchdatei wurde erfolgreich erstellt!";
const char* const kMessageTitle = "Suchdatei";
const char* const kNothingSelectedMessage
    = "Keine Datei ausgewählt: Die Angaben wählen keine Datei aus. Die Suchdatei wurde nicht "
      "geändert.";

namespace {

const char* SentenceFor(FailureKind kind)
{
    switch (kind) {
    case FailureKind::None:
        return "";
    case FailureKind::NotFound:
        return "Der Ordner oder die Datei existiert nicht.";
    case FailureKind::NoPermission:
        return "Keine Berechtigung.";
    case FailureKind::IsFolder:
        return "Das ist ein Ordner.";
    case FailureKind::NotFolder:
        return "Ein Teil des Pfades ist kein Ordner.";
    case FailureKind::ReadOnlyFileSystem:
        return "Das Dateisystem ist schreibgeschützt.";
    case FailureKind::WriteProtected:
        return "Der Datenträger ist schreibgeschützt.";
    case FailureKind::NoSpace:
        return "Auf dem Datenträger ist kein Platz mehr frei.";
    case FailureKind::QuotaExceeded:
        return "Das Speicherkontingent (Quota) ist erschöpft.";
    case FailureKind::NameTooLong:
        return "Der Name ist zu lang.";
    case FailureKind::InvalidName:
        return "Ungültiger Name.";
    case FailureKind::InputOutput:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger.";
    case FailureKind::TooLarge:
        return "Die Datei ist zu groß.";
    case FailureKind::LinkLoop:
        return "Zu viele Ebenen von Verknüpfungen.";
    case FailureKind::Busy:
        return "Die Datei ist belegt.";
    case FailureKind::UsedByOtherProgram:
        return "Die Datei wird von einem anderen Programm verwendet.";
    case FailureKind::TooManyOpenFiles:
        return "Zu viele offene Dateien.";
    case FailureKind::OutOfMemory:
        return "Nicht genügend Arbeitsspeicher.";
    case FailureKind::OtherFileSystem:
        return "Die Datei liegt auf einem anderen Dateisystem.";
    case FailureKind::AlreadyExists:
        return "Die Datei existiert bereits.";
    case FailureKind::TemporarilyUnavailable:
        return "Die Datei ist vorübergehend nicht verfügbar.";
    case FailureKind::StaleNetworkFile:
        return "Die Netzwerkverbindung zur Datei ist veraltet.";
    case FailureKind::NetworkPathNotFound:
        return "Der Netzwerkpfad wurde nicht gefunden.";
    case FailureKind::NetworkInterrupted:
        return "Die Netzwerkverbindung zur Datei ist unterbrochen.";
    case FailureKind::DeviceUnavailable:
        return "Das Gerät ist nicht verfügbar.";
    case FailureKind::DeviceNotReady:
        return "Das Gerät ist nicht bereit.";
    case FailureKind::ForeignLink:
        return "Der Pfad der Ausgabedatei führt über eine Verknüpfung, die einem anderen Benutzer "
               "gehört.";
    case FailureKind::NotRegular:
        return "Die Ausgabedatei ist keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein "
               "Socket).";
    case FailureKind::NotAFile:
        return "Das ist keine gewöhnliche Datei, sondern ein Gerät, eine Pipe oder ein Socket.";
    case FailureKind::FolderName:
    case FailureKind::OtherSystemError:
        break; // put together below
    }
    return "";
}

} // namespace

std::string FailureText(const Failure& failure, PathStyle style)
{
    switch (failure.kind) {
    case FailureKind::FolderName:
        return FolderNameReason(style);
    case FailureKind::OtherSystemError:
        // The system's own text may be in another language: a German sentence with the number.
        return "Systemfehler Nr. " + std::to_string(failure.code) + ".";
    default:
        return SentenceFor(failure.kind);
    }
}

std::string FolderNameReason(PathStyle style)
{
    return style == PathStyle::Windows
        ? "Der Name endet mit \"\\\" und bezeichnet einen Ordner, keine Datei."
        : "Der Name endet mit \"/\" und bezeichnet einen Ordner, keine Datei.";
}

std::string GroupChangeText(const GroupChange& change)
{
    return "Die Gruppe der Suchdatei (" + change.oldGroup
        + ") konnte nicht beibehalten werden; die neue Datei gehört der Gruppe " + change.newGroup
        + ".";
}

namespace {

// The reason as it stands in parentheses after a path: the sentence without its full stop.
std::string InParentheses(const Failure& failure, PathStyle style)
{
    std::string reason = FailureText(failure, style);
    if (!reason.empty() && reason.back() == '.')
        reason.pop_back();
    return " (" + reason + ")";
}

} // namespace

std::string NotWrittenLine(const std::string& path)
{
    return "Die Suchdatei konnte nicht erstellt werden: " + path;
}

std::string UnreadableLine(const std::string& path, const Failure& failure, PathStyle style)
{
    return "Nicht lesbar: " + path + InParentheses(failure, style);
}

std::string FolderProblemLine(const FolderProblem& problem, PathStyle style)
{
    return "Ordner nicht lesbar: " + problem.path + InParentheses(problem.failure, style);
}

std::string RunMessage(const RunResult& result, const RunInputs& inputs, PathStyle style)
{
    if (result.written)
        return kSuccessMessage;
    if (!result.nothingSelected)
        return NotWrittenLine(inputs.outputPath) + "\n" + FailureText(result.failure, style);
    const std::vector<FolderProblem>& folders = inputs.unlistedFolders;
    if (folders.empty())
        return kNothingSelectedMessage;
    const std::string why = folders.size() == 1 ? "Der Ordner " + folders.front().path
            + " konnte nicht gelesen werden" + InParentheses(folders.front().failure, style) + "."
                                                : std::to_string(folders.size())
            + " Ordner konnten nicht gelesen werden (siehe Meldungen).";
    return "Keine Datei ausgewählt: " + why + " Die Suchdatei wurde nicht geändert.";
}

} // namespace tovaro
