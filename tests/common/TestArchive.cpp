#include "TestArchive.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <archive.h>
#include <archive_entry.h>

namespace fs = std::filesystem;

namespace {

using Writer = std::unique_ptr<archive, decltype(&archive_write_free)>;

// A path's own characters, wide ones on Windows, so that any name works.
int OpenFile(archive* zip, const fs::path& path) {
#ifdef _WIN32
    return archive_write_open_filename_w(zip, path.c_str());
#else
    return archive_write_open_filename(zip, path.c_str());
#endif
}

Writer OpenZip(const fs::path& path, const char* options = nullptr) {
    Writer zip(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(zip.get());
    if ((options && archive_write_set_options(zip.get(), options) != ARCHIVE_OK) ||
        OpenFile(zip.get(), path) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(zip.get()));
    return zip;
}

void StartEntry(archive* zip, const std::string& name, std::uint64_t size) {
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                        archive_entry_free);
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(size));
    if (archive_write_header(zip, entry.get()) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(zip));
}

void Write(archive* zip, const std::string& bytes) {
    if (archive_write_data(zip, bytes.data(), bytes.size()) !=
        static_cast<la_ssize_t>(bytes.size()))
        throw std::runtime_error(archive_error_string(zip));
}

void Close(archive* zip) {
    if (archive_write_close(zip) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(zip));
}

} // namespace

void WriteZip(const fs::path& path, const std::vector<ExportEntry>& entries, const char* options) {
    Writer zip = OpenZip(path, options);
    for (const ExportEntry& file : entries) {
        StartEntry(zip.get(), file.name, file.content.size());
        Write(zip.get(), file.content);
    }
    Close(zip.get());
}

void WriteFilledZip(const fs::path& path, const std::string& name, const std::string& head,
                    char fill, std::uint64_t size) {
    Writer zip = OpenZip(path);
    StartEntry(zip.get(), name, head.size() + size);
    Write(zip.get(), head);
    const std::string block(1 << 20, fill);
    for (std::uint64_t written = 0; written < size; written += block.size())
        Write(zip.get(), block.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(
                                             block.size(), size - written))));
    Close(zip.get());
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
