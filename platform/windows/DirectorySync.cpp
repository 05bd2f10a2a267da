#include "Directory.h"

// Windows cannot flush a directory. Its entries are made durable where they
// change instead: a new file is flushed once created (NTFS journals the name
// and flushing a file commits the journal), and a rename over a file is made
// with MOVEFILE_WRITE_THROUGH or flushed through the renamed file's handle.
FileStatus SyncDirectory(const std::filesystem::path&) {
    return {};
}
