#include "HelpPage.h"

#include <system_error>

namespace {

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::filesystem::path HelpPagePathFor(const std::filesystem::path& executable) {
    if (!executable.empty()) {
        std::filesystem::path installed =
            (executable.parent_path() / kInstalledHelpPage).lexically_normal();
        if (IsFile(installed))
            return installed;
    }
    const std::filesystem::path source(TREKLINE_SOURCE_HELP_PAGE);
    if (IsFile(source))
        return source;
    return {};
}

std::filesystem::path HelpPagePath() {
    // The link resolves symlinks, so a program linked into PATH from another
    // prefix still finds the page of the prefix it was installed in.
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return HelpPagePathFor(error ? std::filesystem::path() : executable);
}
