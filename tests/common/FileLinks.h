#pragma once

#include <filesystem>

// Symbolic links as each system makes them: libstdc++ makes none on Windows,
// and Windows itself only for a user it allows to (developer mode, or an
// administrator); Wine's call succeeds without making one.

// A symbolic link at `link` to the file `target`; false when none was made.
bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link);

// Whether `path` is a link itself (on Windows, any reparse point).
bool IsSymbolicLink(const std::filesystem::path& path);

// Whether links can be made in the current directory.
bool SymbolicLinksAreMade();
