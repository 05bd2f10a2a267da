#include "Directory.h"

#include <fcntl.h>
#include <unistd.h>

#include "Native.h"

namespace fs = std::filesystem;

FileStatus SyncDirectory(const fs::path& directory) {
    const fs::path name = directory.empty() ? fs::path(".") : directory;
    FileHandle handle = NativeFile::Adopt(::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.IsOpen())
        return LastFailure("open", name);
    if (::fsync(NativeFile::Descriptor(handle)) != 0)
        return LastFailure("fsync", name);
    return handle.Close(name);
}
