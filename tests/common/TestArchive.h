#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A file of an export: where it lies in the export, and what it holds.
struct ExportEntry {
    std::string name;
    std::string content;
};

// A zip of the entries, made with libarchive's writer (deflated, in the order
// given); options as libarchive's writer takes them ("zip:zip64", "zip:compression=store").
void WriteZip(const std::filesystem::path& path, const std::vector<ExportEntry>& entries,
              const char* options = nullptr);

// A zip of one entry: head, then size bytes of fill; the entry is written as it
// is deflated, never held whole.
void WriteFilledZip(const std::filesystem::path& path, const std::string& name,
                    const std::string& head, char fill, std::uint64_t size);

// The entries as files below the folder, as an unpacked export is.
void WriteFolder(const std::filesystem::path& folder, const std::vector<ExportEntry>& entries);

void WriteText(const std::filesystem::path& path, const std::string& text);
