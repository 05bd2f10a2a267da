#include "FontFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include <windows.h>
#include <shlobj.h>

#include "UserPaths.h"

namespace fs = std::filesystem;

namespace {

fs::path FontsFolder() {
    PWSTR folder = nullptr;
    fs::path path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &folder)))
        path = folder;
    ::CoTaskMemFree(folder);
    return path;
}

std::optional<FontFile> Existing(const fs::path& file) {
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error))
        return std::nullopt;
    return FontFile{file.string(), 0};
}

} // namespace

// Windows keeps a family's regular face as the family's name in lower case
// with ".ttf" in its Fonts folder. Where the family is missing (Wine has no
// Verdana) the DejaVu Sans installed beside the program stands in.
std::optional<FontFile> FindFontFile(const char* family) {
    std::string name = family;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    if (std::optional<FontFile> installed = Existing(FontsFolder() / (name + ".ttf")))
        return installed;
    const fs::path program = ProgramFile();
    if (program.empty())
        return std::nullopt;
    return Existing(program.parent_path() / "DejaVuSans.ttf");
}
