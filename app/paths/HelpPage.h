#pragma once

#include <filesystem>

// Where an installed Trekline keeps its help page, relative to the directory
// of the program: <prefix>/bin/trekline reads <prefix>/share/trekline/help.
// The page is program data rather than documentation, so it stays out of
// share/doc, which minimal systems are allowed to leave empty. On Windows the
// installer owns one folder and nothing beside it, so the page goes into it.
#ifdef _WIN32
inline constexpr const char* kInstalledHelpPage = "help/index.html";
#else
inline constexpr const char* kInstalledHelpPage = "../share/trekline/help/index.html";
#endif

// The help page for the program at `executable`: the installed page beside it,
// else the page in the source tree it was built from (a run from the build
// tree). Empty when neither exists.
std::filesystem::path HelpPagePathFor(const std::filesystem::path& executable);

// The help page for the running program, found from its own file.
std::filesystem::path HelpPagePath();
