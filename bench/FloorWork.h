#pragma once

#include <filesystem>
#include <vector>

// What a command's floor does: the least reading and writing its work needs,
// with the same calls to make it durable.

// The bytes of the file, read whole.
std::vector<unsigned char> FileBytes(const std::filesystem::path& path);

// Reads the file once, in the chunks an import reads, keeping nothing.
void ReadThrough(const std::filesystem::path& path);

// Replaces the file by the bytes as the store does: a scratch file written
// and synced, renamed over the file, the directory synced.
void WriteDurably(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

// A delete's floor: the diary read once and written less one record, as the
// store replaces a file, to a copy beside it; the diary stays as it was.
void WriteWithoutOneRecord(const std::filesystem::path& diary);
