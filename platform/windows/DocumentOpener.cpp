#include "DocumentOpener.h"

#include <cerrno>
#include <filesystem>

#include <windows.h>
#include <shellapi.h>

const char* const kDefaultHandlerCall = "ShellExecute open";

// The shell hands the document to its handler and returns; there is no
// handler process of ours to hear the end of.
int OpenWithDefaultHandler(const std::string& path, HandlerEnded) {
    const std::filesystem::path document = std::filesystem::u8path(path);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Above 32 is success; the rest are the shell's own codes.
    if (result > 32)
        return 0;
    return result == SE_ERR_NOASSOC || result == ERROR_FILE_NOT_FOUND ? ENOENT : EIO;
}
