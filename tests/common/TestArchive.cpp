#include "TestArchive.h"

#include <fstream>
#include <memory>
#include <stdexcept>

#include <archive.h>
#include <archive_entry.h>

namespace fs = std::filesystem;

void WriteZip(const fs::path& path, const std::vector<ExportEntry>& entries) {
    std::unique_ptr<archive, decltype(&archive_write_free)> zip(archive_write_new(),
                                                                archive_write_free);
    archive_write_set_format_zip(zip.get());
    if (archive_write_open_filename(zip.get(), path.c_str()) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(zip.get()));
    for (const ExportEntry& file : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                            archive_entry_free);
        archive_entry_set_pathname(entry.get(), file.name.c_str());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(file.content.size()));
        if (archive_write_header(zip.get(), entry.get()) != ARCHIVE_OK ||
            archive_write_data(zip.get(), file.content.data(), file.content.size()) !=
                static_cast<la_ssize_t>(file.content.size()))
            throw std::runtime_error(archive_error_string(zip.get()));
    }
    if (archive_write_close(zip.get()) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(zip.get()));
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void WriteFolder(const fs::path& folder, const std::vector<ExportEntry>& entries) {
    for (const ExportEntry& file : entries) {
        fs::create_directories((folder / file.name).parent_path());
        WriteText(folder / file.name, file.content);
    }
}
