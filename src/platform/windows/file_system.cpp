// The file system of Windows, through the wide API, so that every name is reachable
// whatever the system's code page, and with "\\?\" paths, whatever their length.
#include "platform/file_system.h"
#include "platform/standard_input.h"

#include "atomic_file_store.h"
#include "base/path_text.h"
#include "wide.h"

#include <windows.h>

namespace tovaro {

namespace windows {
namespace {

class Handle {
public:
    explicit Handle(HANDLE h)
        : h_(h)
    {
    }
    ~Handle()
    {
        if (valid())
            ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle that only asks about the file or folder, links and junctions followed.
HANDLE OpenForQuery(const std::wstring& path)
{
    return ::CreateFileW(
        path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IdOf(HANDLE h, FileId& id)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(h, &info))
        return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

class WindowsInputFile : public InputFile {
public:
    explicit WindowsInputFile(HANDLE h)
        : h_(h)
    {
    }
    OrFailure<size_t> Read(char* buffer, size_t size) override
    {
        DWORD got = 0;
        const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        if (!::ReadFile(h_.get(), buffer, want, &got, nullptr)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
                return size_t { 0 };
            return SystemFailure(static_cast<int>(err));
        }
        return size_t { got };
    }

private:
    Handle h_;
};

bool HasNul(const std::string& path)
{
    return path.find('\0') != std::string::npos;
}

Failure LastFailure()
{
    return SystemFailure(static_cast<int>(::GetLastError()));
}

// Everything the handle gives until its end; a pipe's writer that has gone is its end.
Failure ReadToEnd(HANDLE h, std::string& content)
{
    char buffer[65536];
    content.clear();
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(h, buffer, sizeof buffer, &got, nullptr)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_BROKEN_PIPE || err == ERROR_HANDLE_EOF)
                return {};
            return SystemFailure(static_cast<int>(err));
        }
        if (got == 0)
            return {};
        content.append(buffer, got);
    }
}

class WindowsFileSystem : public FileSystem {
public:
    PathStyle Style() const override { return PathStyle::Windows; }

    std::string CurrentDirectory() override { return ProcessCurrentDirectory(); }

    OrFailure<std::string> RealPath(const std::string& path) override
    {
        if (HasNul(path))
            return SystemFailure(ERROR_INVALID_NAME);
        Handle h(OpenForQuery(ApiPath(path)));
        if (!h.valid())
            return LastFailure();
        std::wstring buf(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = ::GetFinalPathNameByHandleW(h.get(), buf.data(),
                static_cast<DWORD>(buf.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (n == 0)
                return LastFailure();
            if (n < buf.size()) {
                buf.resize(n);
                break;
            }
            buf.resize(n + 1);
        }
        return AbsolutePath(Narrow(buf), {}, PathStyle::Windows);
    }

    PathStatus Examine(const std::string& path) override
    {
        PathStatus status;
        if (HasNul(path)) {
            status.failure = SystemFailure(ERROR_INVALID_NAME);
            return status;
        }
        const DWORD attributes = ::GetFileAttributesW(ApiPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            status.failure = SystemFailure(static_cast<int>(::GetLastError()));
            return status;
        }
        status.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder
            : (attributes & FILE_ATTRIBUTE_DEVICE) != 0            ? PathKind::Other
                                                                   : PathKind::File;
        return status;
    }

    OrFailure<FileId> Identify(const std::string& path) override
    {
        if (HasNul(path))
            return SystemFailure(ERROR_INVALID_NAME);
        Handle h(OpenForQuery(ApiPath(path)));
        FileId id;
        if (!h.valid() || !IdOf(h.get(), id))
            return LastFailure();
        return id;
    }

    bool CanCreateIn(const std::string& folder) override
    {
        const std::string probe = JoinPath(
            folder, ".tovaro-probe-" + std::to_string(::GetCurrentProcessId()), PathStyle::Windows);
        Handle h(::CreateFileW(ApiPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return h.valid();
    }

    OrFailure<OpenedFile> OpenRegular(const std::string& path) override
    {
        if (HasNul(path))
            return SystemFailure(ERROR_INVALID_NAME);
        // Shared with every other program, so that an open editor neither blocks the run nor
        // is blocked by it. A folder cannot be opened this way.
        const std::wstring api = ApiPath(path);
        HANDLE h = ::CreateFileW(api.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const Failure failure = LastFailure();
            // Windows refuses to open a folder as a file, as if the user had no permission.
            const DWORD attributes = ::GetFileAttributesW(api.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                return Failure { FailureKind::IsFolder, 0 };
            return failure;
        }
        auto file = std::make_unique<WindowsInputFile>(h);
        // Only files on a disk: a pipe or a device ("CON", "COM1") yields what timing gives.
        if (::GetFileType(h) != FILE_TYPE_DISK)
            return Failure { FailureKind::NotAFile, 0 };
        FileId found;
        if (!IdOf(h, found))
            return LastFailure();
        return OpenedFile { std::move(file), found };
    }

    Failure ReadWhole(const std::string& path, std::string& content) override
    {
        if (HasNul(path))
            return SystemFailure(ERROR_INVALID_NAME);
        Handle h(::CreateFileW(ApiPath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.valid())
            return LastFailure();
        return ReadToEnd(h.get(), content);
    }

    Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override
    {
        if (HasNul(path))
            return SystemFailure(ERROR_INVALID_NAME);
        const std::wstring folder = ApiPath(path);
        if (id != nullptr) {
            Handle h(OpenForQuery(folder));
            if (!h.valid() || !IdOf(h.get(), *id))
                return SystemFailure(static_cast<int>(::GetLastError()));
        }
        std::wstring pattern = folder;
        if (pattern.back() != L'\\')
            pattern += L'\\';
        pattern += L'*';
        WIN32_FIND_DATAW data {};
        HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) {
            const DWORD err = ::GetLastError();
            // An empty drive root has no "." entry: nothing at all is found there.
            if (err == ERROR_FILE_NOT_FOUND || err == ERROR_NO_MORE_FILES) {
                const DWORD attributes = ::GetFileAttributesW(folder.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES
                    && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                    return {};
            }
            return SystemFailure(static_cast<int>(err));
        }
        do {
            const wchar_t* n = data.cFileName;
            if (n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0')))
                continue;
            // What Explorer hides stays hidden, as names starting with "." do on Linux:
            // "$Recycle.Bin", "System Volume Information", the old profile links.
            if ((data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0)
                continue;
            // A link or junction to a folder carries the folder bit too: it is followed. The
            // record holds the attributes: nothing more is asked of an entry, so none fails to
            // be examined. A name that starts with "." stays out of the boxes, as on Linux.
            FolderEntry entry;
            entry.name = Narrow(n);
            entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.hidden = n[0] == L'.';
            entries.push_back(std::move(entry));
        } while (::FindNextFileW(find, &data));
        // Only "no more files" is the end; any other failure (a share that drops, a folder
        // removed meanwhile) leaves the listing incomplete, which the caller must hear of.
        const DWORD end = ::GetLastError();
        ::FindClose(find);
        if (end != ERROR_NO_MORE_FILES)
            return SystemFailure(static_cast<int>(end));
        return {};
    }

    StoreResult Replace(const std::string& path, std::string_view content) override
    {
        return ReplaceFileAtomically(path, content);
    }
};

} // namespace
} // namespace windows

std::unique_ptr<FileSystem> MakeNativeFileSystem()
{
    return std::make_unique<windows::WindowsFileSystem>();
}

Failure ReadStandardInput(std::string& content)
{
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE)
        return windows::LastFailure();
    return windows::ReadToEnd(in, content);
}

} // namespace tovaro
