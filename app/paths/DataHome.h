#pragma once

#include <filesystem>
#include <string>

// The directory a start from the desktop menu keeps the diary in:
// $XDG_DATA_HOME/trekline, or ~/.local/share/trekline when XDG_DATA_HOME is
// unset, empty or relative (the base directory rules say to ignore a relative
// one). Empty when there is no home directory either.
std::filesystem::path DataHomeDirectory(const char* xdgDataHome, const char* home);

// The same for this process, from its environment and, without HOME, the
// password database.
std::filesystem::path DataHomeDirectory();

// Makes the directory and any missing parents, the new ones readable by the
// user alone as the base directory rules ask. Empty when it exists afterwards,
// else why not, naming the directory: "/x/trekline cannot be created
// (Permission denied)".
std::string MakeDataHome(const std::filesystem::path& directory);
