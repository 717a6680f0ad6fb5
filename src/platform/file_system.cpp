#include "file_system.h"

namespace tovaro {

namespace {
FileSystem* gReplacement = nullptr;
}

FileSystem& Disk()
{
    return gReplacement != nullptr ? *gReplacement : NativeFileSystem();
}

std::string FolderNameReason(PathStyle style)
{
    return style == PathStyle::Windows
        ? "Der Name endet mit \"\\\" und bezeichnet einen Ordner, keine Datei."
        : "Der Name endet mit \"/\" und bezeichnet einen Ordner, keine Datei.";
}

std::string StoreResult::Reason() const
{
    switch (failure) {
    case StoreFailure::None:
        return {};
    case StoreFailure::System:
        return SystemErrorText(code);
    case StoreFailure::ForeignLink:
        return "Der Pfad der Ausgabedatei führt über eine Verknüpfung, die einem anderen Benutzer "
               "gehört.";
    case StoreFailure::NotRegular:
        return "Die Ausgabedatei ist keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein "
               "Socket).";
    case StoreFailure::FolderName:
        return FolderNameReason(Disk().Style());
    }
    return {};
}

ScopedFileSystem::ScopedFileSystem(FileSystem& replacement)
    : previous_(gReplacement)
{
    gReplacement = &replacement;
}

ScopedFileSystem::~ScopedFileSystem()
{
    gReplacement = previous_;
}

} // namespace tovaro
