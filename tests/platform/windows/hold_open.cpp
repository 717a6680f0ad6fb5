// Another program that has the search page open and lets nobody remove or replace it, as an
// editor or a browser's cache may: opens the file, writes the ready file, waits for standard
// input to end.
#include <cstdio>
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    HANDLE held = ::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    HANDLE ready = ::CreateFileW(
        argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ::CloseHandle(ready);
    char c;
    while (std::fread(&c, 1, 1, stdin) == 1) { }
    ::CloseHandle(held);
    return 0;
}
