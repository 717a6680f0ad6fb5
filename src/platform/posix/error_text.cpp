#include "platform/file_system.h"

#include <cerrno>

namespace tovaro {

std::string SystemErrorText(int err)
{
    switch (err) {
    case ENOENT:
        return "Der Ordner oder die Datei existiert nicht.";
    case EACCES:
    case EPERM:
        return "Keine Berechtigung.";
    case EISDIR:
        return "Das ist ein Ordner.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case EROFS:
        return "Das Dateisystem ist schreibgeschützt.";
    case ENOSPC:
        return "Auf dem Datenträger ist kein Platz mehr frei.";
    case EDQUOT:
        return "Das Speicherkontingent (Quota) ist erschöpft.";
    case ENAMETOOLONG:
        return "Der Name ist zu lang.";
    case EIO:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger.";
    case EFBIG:
        return "Die Datei ist zu groß.";
    case ELOOP:
        return "Zu viele Ebenen von Verknüpfungen.";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei ist belegt.";
    case EMFILE:
    case ENFILE:
        return "Zu viele offene Dateien.";
    case ENOMEM:
        return "Nicht genügend Arbeitsspeicher.";
    case EINVAL:
        return "Ungültiger Name.";
    case EXDEV:
        return "Die Datei liegt auf einem anderen Dateisystem.";
    case EEXIST:
        return "Die Datei existiert bereits.";
    case EAGAIN:
        return "Die Datei ist vorübergehend nicht verfügbar.";
    case ESTALE:
        return "Die Netzwerkverbindung zur Datei ist veraltet.";
    case ENXIO:
    case ENODEV:
        return "Das Gerät ist nicht verfügbar.";
    default:
        // The system's own text would be English: a German sentence with the number instead.
        return "Systemfehler Nr. " + std::to_string(err) + ".";
    }
}

} // namespace tovaro
