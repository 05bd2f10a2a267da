#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The directory a start from the desktop menu keeps the diary in:
// $XDG_DATA_HOME/trekline, or ~/.local/share/trekline when XDG_DATA_HOME is
// unset, empty or relative (the base directory rules say to ignore a relative
// one). Empty when there is no home directory either.
std::filesystem::path DataHomeDirectory(const char* xdgDataHome, const char* home);

// The same for this process, from its environment and, without HOME, the
// user database; on Windows %LOCALAPPDATA%\Trekline.
std::filesystem::path DataHomeDirectory();

// Makes the directory and any missing parents, the new ones readable by the
// user alone as the base directory rules ask. None when it exists afterwards,
// else why not, naming the directory: "/x/trekline cannot be created
// (Permission denied)".
std::optional<std::string> MakeDataHome(const std::filesystem::path& directory);

// The directory a run keeps its diary in, worked out once at its start: the
// data home, made when missing, for a start from the desktop menu; else the
// directory it was started in. `problem` says why there is none, naming it:
// "/x/trekline cannot be created (Permission denied)".
struct DiaryDirectory {
    std::filesystem::path path;
    std::string problem;
};
DiaryDirectory FindDiaryDirectory(bool dataHome);
