#pragma once

#include <filesystem>

#include "FileStatus.h"

// Makes the directory entries in `directory` (an empty path is the current
// directory) durable: created, renamed and removed names.
FileStatus SyncDirectory(const std::filesystem::path& directory);
// The directory that holds `file`, "." for a bare name.
std::filesystem::path DirectoryOf(const std::filesystem::path& file);

// The file a path names once every symbolic link in it is followed; the path
// itself when it names nothing yet.
std::filesystem::path FollowLinks(const std::filesystem::path& path);
