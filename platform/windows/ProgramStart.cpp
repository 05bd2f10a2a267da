#include "ProgramStart.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>

#include "Native.h"

#include <shellapi.h>

namespace {

std::string Utf8(const wchar_t* text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string converted(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), length, nullptr, nullptr);
    converted.pop_back();
    return converted;
}

// Whether the handle goes somewhere: a window program started from Explorer
// or a command prompt has none, one whose output is redirected has it.
bool Connected(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void ConnectStandardStreams() {
    const bool output = Connected(STD_OUTPUT_HANDLE);
    const bool error = Connected(STD_ERROR_HANDLE);
    if ((!output || !error) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        // The console shows the UTF-8 we write as UTF-8.
        ::SetConsoleOutputCP(CP_UTF8);
        if (!output)
            std::freopen("CONOUT$", "w", stdout);
        if (!error)
            std::freopen("CONOUT$", "w", stderr);
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
