#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A file of an export: where it lies in the export, and what it holds.
struct ExportEntry {
    std::string name;
    std::string content;
};

// A zip of the entries, made with libarchive's writer (deflated, in the order given).
void WriteZip(const std::filesystem::path& path, const std::vector<ExportEntry>& entries);

// The entries as files below the folder, as an unpacked export is.
void WriteFolder(const std::filesystem::path& folder, const std::vector<ExportEntry>& entries);

void WriteText(const std::filesystem::path& path, const std::string& text);
