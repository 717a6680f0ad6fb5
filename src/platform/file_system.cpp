#include "file_system.h"

namespace tovaro {

namespace {
FileSystem* gReplacement = nullptr;
}

FileSystem& Disk()
{
    return gReplacement != nullptr ? *gReplacement : NativeFileSystem();
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
