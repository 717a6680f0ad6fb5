#include "atomic_file_store.h"

#include "base/path_text.h"
#include "wide.h"

#include <atomic>
#include <cwchar>
#include <windows.h>

namespace tovaro::windows {

namespace {

// The temporary file while it exists, for the console's Ctrl+C and close handler. The handler
// runs on a thread of its own, so the name is read and written under a lock; the name is
// registered before the file is created.
SRWLOCK gTempLock = SRWLOCK_INIT;
wchar_t gTempPath[32768];
bool gTempNamed = false;

BOOL WINAPI RemoveTemporaryAndStop(DWORD)
{
    // The lock is kept: the process ends, and no later attempt names another file meanwhile.
    ::AcquireSRWLockExclusive(&gTempLock);
    if (gTempNamed)
        ::DeleteFileW(gTempPath);
    return FALSE; // the next handler, in the end the system's, ends the process
}

// While alive: ending the program from the console removes the temporary file first.
class ConsoleGuard {
public:
    explicit ConsoleGuard(const std::wstring& temp)
    {
        const size_t n = temp.size() < 32767 ? temp.size() : 32767;
        ::AcquireSRWLockExclusive(&gTempLock);
        std::wmemcpy(gTempPath, temp.c_str(), n);
        gTempPath[n] = L'\0';
        gTempNamed = true;
        ::ReleaseSRWLockExclusive(&gTempLock);
        ::SetConsoleCtrlHandler(RemoveTemporaryAndStop, TRUE);
    }
    ~ConsoleGuard()
    {
        ::SetConsoleCtrlHandler(RemoveTemporaryAndStop, FALSE);
        ::AcquireSRWLockExclusive(&gTempLock);
        gTempNamed = false;
        ::ReleaseSRWLockExclusive(&gTempLock);
    }
    ConsoleGuard(const ConsoleGuard&) = delete;
    ConsoleGuard& operator=(const ConsoleGuard&) = delete;
};

StoreResult Failed(DWORD err)
{
    return StoreResult::SystemError(static_cast<int>(err));
}

// Writes the whole page to a new file and flushes it to the disk.
DWORD WriteNewFile(const std::wstring& path, std::string_view content)
{
    HANDLE h = ::CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    DWORD err = ERROR_SUCCESS;
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0 && err == ERROR_SUCCESS) {
        const DWORD chunk = left > (1u << 24) ? (1u << 24) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(h, p, chunk, &written, nullptr))
            err = ::GetLastError();
        else if (written == 0)
            err = ERROR_DISK_FULL;
        p += written;
        left -= written;
    }
    if (err == ERROR_SUCCESS && !::FlushFileBuffers(h))
        err = ::GetLastError();
    if (!::CloseHandle(h) && err == ERROR_SUCCESS)
        err = ::GetLastError();
    return err;
}

} // namespace

StoreResult ReplaceFileAtomically(const std::string& requested, std::string_view content)
{
    if (requested.empty())
        return Failed(ERROR_FILE_NOT_FOUND);
    if (IsSeparator(requested.back(), PathStyle::Windows))
        return StoreResult::Failed(FailureKind::FolderName);
    const std::wstring target = ApiPath(requested);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return Failed(::GetLastError());
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Failed(kIsAFolderError);

    // A short name beside the page, so that it is on the same volume and always fits.
    static std::atomic<unsigned> counter { 0 };
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    std::wstring temp;
    DWORD err = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && err == ERROR_FILE_EXISTS; ++attempt) {
        temp = folder + L".tovaro-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
            + std::to_wstring(counter++) + L".tmp";
        ConsoleGuard guard(temp);
        err = WriteNewFile(temp, content);
        if (err == ERROR_SUCCESS) {
            if (exists) {
                // Keeps the page's attributes and permissions. The old page goes to a backup
                // name of ours, so that whatever half of the exchange fails, it is put back.
                const std::wstring backup = temp.substr(0, temp.size() - 4) + L".bak";
                if (!::ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                        nullptr))
                    err = ::GetLastError();
                if (err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
                    ::MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
                ::DeleteFileW(backup.c_str());
            }
            const bool moveInstead
                = !exists || err == ERROR_INVALID_FUNCTION || err == ERROR_NOT_SUPPORTED;
            if (moveInstead) {
                err = ERROR_SUCCESS;
                if (!::MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                    err = ::GetLastError();
            }
            if (err == ERROR_SUCCESS)
                return {};
            ::DeleteFileW(temp.c_str());
            return Failed(err);
        }
        if (err != ERROR_FILE_EXISTS)
            ::DeleteFileW(temp.c_str());
    }
    return Failed(err);
}

} // namespace tovaro::windows
