#include "HelpPage.h"

#include <system_error>

#include "UserPaths.h"

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
    return HelpPagePathFor(ProgramFile());
}
