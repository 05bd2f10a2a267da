#pragma once

// Whether the test runs under Wine, which differs from Windows where a test
// cannot follow it: it keeps a removed file's name while the file is open.
#ifdef _WIN32
#include <windows.h>

inline bool RunsUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}
#else
inline bool RunsUnderWine() {
    return false;
}
#endif
