#include "platform/file_system.h"

#include "atomic_file_store.h"

#include <windows.h>

namespace tovaro {

std::string SystemErrorText(int code)
{
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return "Der Ordner oder die Datei existiert nicht.";
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return "Keine Berechtigung.";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_USER_MAPPED_FILE:
        return "Die Datei wird von einem anderen Programm verwendet.";
    case windows::kIsAFolderError:
        return "Das ist ein Ordner.";
    case ERROR_DIRECTORY:
        return "Ein Teil des Pfades ist kein Ordner.";
    case ERROR_WRITE_PROTECT:
        return "Der Datenträger ist schreibgeschützt.";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "Auf dem Datenträger ist kein Platz mehr frei.";
    case ERROR_NOT_ENOUGH_QUOTA:
        return "Das Speicherkontingent (Quota) ist erschöpft.";
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return "Der Name ist zu lang.";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return "Ungültiger Name.";
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger.";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "Nicht genügend Arbeitsspeicher.";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "Zu viele offene Dateien.";
    case ERROR_NOT_SAME_DEVICE:
        return "Die Datei liegt auf einem anderen Dateisystem.";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "Die Datei existiert bereits.";
    case ERROR_NOT_READY:
        return "Das Gerät ist nicht bereit.";
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return "Der Netzwerkpfad wurde nicht gefunden.";
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
        return "Die Netzwerkverbindung zur Datei ist unterbrochen.";
    case ERROR_CANT_RESOLVE_FILENAME:
        return "Zu viele Ebenen von Verknüpfungen.";
    default:
        // The system's own text may be in another language: a German sentence with the number.
        return "Systemfehler Nr. " + std::to_string(code) + ".";
    }
}

} // namespace tovaro
