#pragma once

#include <filesystem>
#include <span>

// Writes the bytes to a new file beside the path and renames it into place,
// so that readers see either the previous file or the whole new one, never a
// file cut short by a full disk. False, with the previous file untouched and
// nothing left behind, when any step fails.
bool ReplaceFile(const std::filesystem::path& path, std::span<const unsigned char> bytes);
